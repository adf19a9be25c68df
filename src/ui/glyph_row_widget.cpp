#include "ui/glyph_row_widget.h"

#include <algorithm>
#include <cstring>

#include <QPainter>

#include "ui/controls_qt.h"

namespace tarvo::gui {

namespace {
constexpr int kRowLeft = 6;  // first glyph, from the box's inner left edge
}  // namespace

const QImage& glyphSheetImage() {
    static const QImage sheet = [] {
        // The sheet's rows are 32 bytes, leftmost pixel in the top bit, bit 1 white: a mono image
        // with white at colour 1. Converted once, so that painting copies plain pixels.
        QImage mono(kSheetWidth, kSheetHeight, QImage::Format_Mono);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        const ByteSpan bits = glyphSheet();
        const std::size_t rowBytes = kSheetWidth / 8;
        if (bits.size() < rowBytes * kSheetHeight) {
            mono.fill(1);
        } else {
            for (int y = 0; y < kSheetHeight; ++y) std::memcpy(mono.scanLine(y), bits.data() + rowBytes * y, rowBytes);
        }
        return mono.convertToFormat(QImage::Format_RGB32);
    }();
    return sheet;
}

GlyphRowBox::GlyphRowBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void GlyphRowBox::setNameBytes(ByteSpan text) {
    GlyphIndexList glyphs;
    GlyphIndicesOfText(glyphs, text);
    if (glyphs == m_glyphs) return;
    m_glyphs = std::move(glyphs);
    update();
}

void GlyphRowBox::paintEvent(QPaintEvent* event) {
    QGroupBox::paintEvent(event);
    QPainter painter(this);
    const QImage& sheet = glyphSheetImage();
    // Inside the frame, under the title: centred in the height left there, clipped to it.
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    const int left = inside.left() + kRowLeft, top = inside.top() + std::max(0, (inside.height() - kGlyphHeight) / 2);
    for (std::size_t k = 0; k < m_glyphs.size(); ++k) {
        painter.drawImage(QPoint(left + kGlyphWidth * static_cast<int>(k), top), sheet,
                          toQRect(glyphCell(m_glyphs[k])));
    }
}

}  // namespace tarvo::gui
