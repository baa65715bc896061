#include "tools/skingen/skin_set.h"

#include <stdexcept>
#include <system_error>

#include "tools/skingen/bmp.h"
#include "tools/skingen/button_art.h"
#include "tools/skingen/file_io.h"
#include "tools/skingen/grip_art.h"
#include "tools/skingen/ico.h"
#include "tools/skingen/logo_art.h"
#include "tools/skingen/palette.h"
#include "tools/skingen/title_bar_art.h"

namespace skin {

namespace {

std::vector<std::uint8_t> encode_icon_art(const IconArt& art) {
    return encode_icon(index_colours(art.image), art.mask);
}

}  // namespace

std::vector<SkinFile> build_skin_files() {
    std::vector<SkinFile> files;
    files.push_back({"titlestrip.bmp", encode_bmp(title_strip())});
    files.push_back({"leftcap.bmp", encode_bmp(left_cap())});
    files.push_back({"rightcap.bmp", encode_bmp(right_cap())});
    files.push_back({"logo.bmp", encode_bmp(logo_picture())});
    files.push_back({"logoicon.ico", encode_icon_art(logo_icon())});
    files.push_back({"mainicon.ico", encode_icon_art(main_icon())});
    files.push_back({"iconlist.bmp", encode_bmp(button_strip())});
    // In the monochrome mask white marks the transparent pixels.
    files.push_back({"iconlist_mask.bmp", encode_monochrome_bmp(button_strip_mask())});
    files.push_back({"grip.bmp", encode_bmp(grip())});
    return files;
}

void write_skin_files(const std::filesystem::path& folder) {
    // Build everything first, so a failure in the artwork writes nothing.
    const std::vector<SkinFile> files = build_skin_files();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::runtime_error("cannot create folder " + folder.string() + ": " + error.message());
    for (const SkinFile& file : files) write_file(folder / file.name, file.bytes);
}

}  // namespace skin
