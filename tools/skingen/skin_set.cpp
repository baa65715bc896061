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

std::vector<std::uint8_t> EncodeIconArt(const IconArt& art) { return EncodeIcon(IndexColours(art.image), art.mask); }

}  // namespace

std::vector<SkinFile> BuildSkinFiles() {
    std::vector<SkinFile> files;
    files.push_back({"titlestrip.bmp", EncodeBmp(TitleStrip())});
    files.push_back({"leftcap.bmp", EncodeBmp(LeftCap())});
    files.push_back({"rightcap.bmp", EncodeBmp(RightCap())});
    files.push_back({"logo.bmp", EncodeBmp(LogoPicture())});
    files.push_back({"logoicon.ico", EncodeIconArt(LogoIcon())});
    files.push_back({"mainicon.ico", EncodeIconArt(MainIcon())});
    files.push_back({"iconlist.bmp", EncodeBmp(DrawButtonStrip())});
    // In the monochrome mask white marks the transparent pixels.
    files.push_back({"iconlist_mask.bmp", EncodeMonochromeBmp(ButtonStripMask())});
    files.push_back({"grip.bmp", EncodeBmp(Grip())});
    return files;
}

void WriteSkinFiles(const std::filesystem::path& folder) {
    // Build everything first, so a failure in the artwork writes nothing.
    const std::vector<SkinFile> files = BuildSkinFiles();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw std::runtime_error("cannot create folder " + folder.string() + ": " + error.message());
    for (const SkinFile& file : files) WriteFile(folder / file.name, file.bytes);
}

}  // namespace skin
