#pragma once
// A group box that draws a name's two-byte characters as a row of 16 x 15 glyphs from the glyph
// sheet, starting 10 pixels right of its inner left edge and 16 pixels below its top.

#include <QGroupBox>
#include <QImage>

#include "text/glyphs.h"

namespace tarvo::gui {

// The glyph sheet as a 1-bit image (black glyphs on white), made once.
const QImage& glyphSheetImage();

class GlyphRowBox : public QGroupBox {
    Q_OBJECT
public:
    explicit GlyphRowBox(const QString& title, QWidget* parent = nullptr);
    // Shows the glyphs of the text's bytes (GlyphIndicesOfText) and repaints.
    void setNameBytes(ByteSpan text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GlyphIndexList m_glyphs;
};

}  // namespace tarvo::gui
