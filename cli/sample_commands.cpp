// make-sample: writes the project's own sample disc (an image and the three exported files).

#include <iostream>
#include <string>

#include "cli_support.h"
#include "sample/sample_disc.h"

namespace tarvo::cli {
namespace {

struct MakeSampleArgs {
    std::string directory;
    bool noPadding = false;
    bool force = false;
    bool outOfRange = false;
};

int makeSampleCommand(const MakeSampleArgs& args) {
    const std::filesystem::path directory = pathFromUtf8(args.directory);
    if (!sample::makeSample(
            directory,
            sample::SampleOptions{.padImage = !args.noPadding, .replace = args.force, .outOfRange = args.outOfRange},
            messages()))
        return refuse("the sample disc could not be written to " + utf8Path(directory));
    for (const char* made : {"sample.bin", "sample.iso", "exported"}) std::cout << utf8Path(directory / made) << '\n';
    return 0;
}

}  // namespace

void registerSampleCommands(CLI::App& app, int& status) {
    auto args = std::make_shared<MakeSampleArgs>();
    CLI::App* command =
        addCommand(app, status, "make-sample",
                   "Writes a sample disc with invented data: DIR/sample.bin (a raw CD image, padded to 297620 "
                   "sectors, 700002240 bytes), DIR/sample.iso (the same disc as a cooked image, padded to 609525760 "
                   "bytes) and DIR/exported/ (the three exported files); refuses to replace them unless --force",
                   args, makeSampleCommand);
    command->add_option("DIR", args->directory, "folder to write into (made when missing)")->required();
    command->add_flag("--no-padding", args->noPadding, "leave the images unpadded (a few megabytes)");
    command->add_flag("--force", args->force,
                      "replace the files of an earlier sample (without it, any of them there refuses the command)");
    command->add_flag("--out-of-range", args->outOfRange,
                      "store a few values the editor does not offer, to see how they show: player 1 weighs 27, has "
                      "face 99 and nation code 60; team 1 has offense tactics 1 and shirt number 120 in slot 1");
}

}  // namespace tarvo::cli
