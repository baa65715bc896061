#include "tools/guidekit/make_command.h"

#include <cmath>
#include <iostream>
#include <set>
#include <system_error>

#include "packaging/pack/append_payload.h"
#include "swf/base/ascii.h"
#include "tools/guidekit/command_line.h"
#include "tools/guidekit/file_references.h"
#include "tools/guidekit/kit_folder.h"
#include "tools/guidekit/movie_info.h"
#include "tools/guidekit/output_files.h"
#include "tools/guidekit/settings_text.h"

namespace guidekit {

namespace fs = std::filesystem;

const char* const kMakeHelp =
    "usage: guidekit make MOVIE.swf --out DIR [--name NAME] [--title TEXT] [--size WxH]\n"
    "                     [--assets FOLDER] [--kit KITDIR] [--force]\n"
    "Writes DIR/NAME.exe (the program with the player control's package appended),\n"
    "DIR/NAME.swf and DIR/NAME_Page_img/ holding Page_var.txt and FOLDER's files.\n"
    "  --name    the guide's file name (default: the movie's, without .swf)\n"
    "  --title   the window's caption (default: NAME); no '&', '=' or line breaks;\n"
    "            in the program's 8-bit code page (Windows-1252 from UTF-8)\n"
    "  --size    the window's width and height in pixels, at least 300x329\n"
    "            (default: the movie's stage, raised to that); a negative width\n"
    "            (-1x0) fills the screen's work area\n"
    "  --assets  files the movie loads; sub-folders are kept. A Page_var.txt there\n"
    "            keeps its other pairs after the caption and size\n"
    "  --kit     the folder with projector.exe and GuidePlayerControl.msi\n"
    "            (default: guidekit-files beside guidekit)\n"
    "  --force   replace an existing DIR/NAME.exe\n"
    "Refuses (exit 2, nothing written) a movie the player cannot read, a name\n"
    "Windows cannot use, a title the settings file cannot carry and a size the\n"
    "window does not take. Warns about files the movie's scripts name that the\n"
    "guide will not hold, or that lie outside its folder: a heuristic that reads\n"
    "the string constants of the movie's scripts ending in .swf .jpg .jpeg .png\n"
    ".gif .txt .xml .mp3 .flv .html; names made at run time are not seen.\n";

namespace {

struct Asset {
    fs::path source;
    std::string relative;  // '/'-separated
};

bool IsSettingsFile(const std::string& relative) { return swf::base::EqualsNoCase(relative, "Page_var.txt"); }

// The assets folder's files, sub-folders' included. Links are left out: the
// player follows none.
std::optional<std::vector<Asset>> ListAssets(const fs::path& folder, std::vector<std::string>& warnings,
                                             std::string* why) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        *why = "the assets folder '" + folder.string() + "' is not a folder";
        return std::nullopt;
    }
    std::vector<Asset> assets;
    fs::recursive_directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string relative = fs::relative(it->path(), folder, ec).generic_string();
        if (it->is_symlink(ec)) {
            warnings.push_back("'" + relative + "' is a link, which the player does not follow; it is not copied");
            it.disable_recursion_pending();
        } else if (it->is_regular_file(ec)) {
            assets.push_back({it->path(), relative});
        }
    }
    if (ec) {
        *why = "cannot read the assets folder '" + folder.string() + "': " + ec.message();
        return std::nullopt;
    }
    return assets;
}

std::string GuideName(const MakeRequest& request) {
    if (!request.name.empty()) return request.name;
    std::string name = request.movie.filename().string();
    if (name.size() > 4 && swf::base::EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".swf")) {
        name.resize(name.size() - 4);
    }
    return name;
}

std::optional<std::string> CaptionText(const std::string& title, std::string* why) {
    if (auto problem = CheckTitle(title)) {
        *why = *problem;
        return std::nullopt;
    }
#if defined(_WIN32)
    return title;  // the command line already comes in the system's code page
#else
    std::string bad;
    auto text = ToWindows1252(title, &bad);
    if (!text) *why = "the title holds " + bad + ", which the program's Western code page (1252) cannot hold";
    return text;
#endif
}

// Everything refusable, decided before anything is written.
struct Plan {
    std::shared_ptr<const swf::MovieDefinition> movie;
    std::string name;
    std::string caption;
    WindowSize size;
    std::vector<Asset> assets;
    std::string assetSettings;  // the assets' own Page_var.txt
};

std::optional<Plan> PlanGuide(const MakeRequest& request, MakeResult& result) {
    Plan plan;
    const auto bytes = ReadWholeFile(request.movie.string());
    std::string why;
    if (!bytes) {
        result.error = "cannot read '" + request.movie.string() + "'";
        return std::nullopt;
    }
    plan.movie = ReadMovie(*bytes, &why);
    if (!plan.movie) {
        result.error = "'" + request.movie.string() + "' is not a movie the player can read: " + why;
        return std::nullopt;
    }
    plan.name = GuideName(request);
    if (auto problem = CheckGuideName(plan.name)) {
        result.error = "cannot use the name '" + plan.name + "': " + *problem;
        return std::nullopt;
    }
    const fs::path absoluteOut = request.out.is_absolute() ? request.out : fs::path();
    if (auto problem = CheckSettingsPath(SettingsPathFor(absoluteOut.string(), plan.name))) {
        result.error = *problem;
        return std::nullopt;
    }
    const auto caption = CaptionText(request.title.value_or(plan.name), &why);
    if (!caption) {
        result.error = why;
        return std::nullopt;
    }
    plan.caption = *caption;
    if (request.size) {
        if (auto problem = CheckWindowSize(*request.size)) {
            result.error = *problem;
            return std::nullopt;
        }
        plan.size = *request.size;
    } else {
        const auto& frame = plan.movie->header.frameSize;
        const int width = static_cast<int>(std::lround(frame.Width() / 20.0));
        const int height = static_cast<int>(std::lround(frame.Height() / 20.0));
        plan.size = DefaultWindowSize(width, height);
        if (plan.size != WindowSize{width, height}) {
            result.notes.push_back("the stage is " + std::to_string(width) + "x" + std::to_string(height) +
                                   "; the window's size is " + std::to_string(plan.size.width) + "x" +
                                   std::to_string(plan.size.height) + ", the least it takes");
        }
    }
    if (auto problem = CheckKitFolder(request.kit)) {
        result.error = *problem;
        return std::nullopt;
    }
    if (!request.assets.empty()) {
        auto assets = ListAssets(request.assets, result.warnings, &why);
        if (!assets) {
            result.error = why;
            return std::nullopt;
        }
        plan.assets = std::move(*assets);
    }
    std::error_code ec;
    const fs::path exe = request.out / (plan.name + ".exe");
    if (!request.force && fs::exists(fs::symlink_status(exe, ec))) {
        result.error = "'" + exe.string() + "' exists; give --force to replace it";
        return std::nullopt;
    }
    return plan;
}

bool WriteGuide(const MakeRequest& request, const Plan& plan, MakeResult& result) {
    OutputFiles files;
    const fs::path folder = request.out / (plan.name + "_Page_img");
    result.executable = request.out / (plan.name + ".exe");
    std::string assetSettings;
    bool ok = files.MakeFolder(folder, &result.error) &&
              files.Write(
                  result.executable,
                  [&](const fs::path& temporary, std::string* why) {
                      const auto packed =
                          packaging::AppendPayload((request.kit / kKitProgram).string(),
                                                   (request.kit / kKitPackage).string(), temporary.string());
                      if (!packed.ok) *why = packed.error;
                      return packed.ok;
                  },
                  &result.error) &&
              files.CopyFile(request.out / (plan.name + ".swf"), request.movie, &result.error);
    for (const Asset& asset : plan.assets) {
        if (!ok) break;
        if (IsSettingsFile(asset.relative)) {
            const auto text = ReadWholeFile(asset.source.string());
            if (text) assetSettings.assign(text->begin(), text->end());
            continue;
        }
        const fs::path target = folder / fs::path(asset.relative);
        ok = files.MakeFolder(target.parent_path(), &result.error) &&
             files.CopyFile(target, asset.source, &result.error);
    }
    ok = ok &&
         files.WriteBytes(folder / "Page_var.txt", SettingsText(plan.caption, plan.size, assetSettings),
                          &result.error) &&
         files.Commit(&result.error);
    return ok;
}

std::vector<std::string> ReferenceWarnings(const Plan& plan) {
    std::set<std::string> assetNames;
    for (const Asset& asset : plan.assets) assetNames.insert(asset.relative);
    std::vector<std::string> warnings;
    for (const FileReference& reference : ResolveReferences(NamedFiles(*plan.movie), plan.name, assetNames)) {
        if (reference.state == FileReference::State::Outside) {
            warnings.push_back("the movie names \"" + reference.named +
                               "\", outside the guide's folder: " + reference.why);
        } else if (reference.state == FileReference::State::Missing) {
            warnings.push_back("the movie names \"" + reference.named + "\", which is missing: " + reference.why);
        }
    }
    return warnings;
}

}  // namespace

MakeResult MakeGuide(const MakeRequest& request) {
    MakeResult result;
    const auto plan = PlanGuide(request, result);
    if (!plan || !WriteGuide(request, *plan, result)) return result;
    const auto references = ReferenceWarnings(*plan);
    result.warnings.insert(result.warnings.end(), references.begin(), references.end());
    result.ok = true;
    return result;
}

int RunMake(const std::vector<std::string>& words, const std::string& argv0) {
    std::string why;
    const auto arguments =
        ParseArguments(words, {"--out", "--name", "--title", "--size", "--assets", "--kit"}, {"--force"}, &why);
    if (arguments && arguments->help) {
        std::cout << kMakeHelp;
        return 0;
    }
    if (arguments && (arguments->positional.size() != 1 || !arguments->Value("--out"))) {
        why = "give one movie and --out DIR";
    }
    MakeRequest request;
    if (why.empty()) {
        request.movie = arguments->positional[0];
        request.out = *arguments->Value("--out");
        request.name = arguments->Value("--name").value_or("");
        request.title = arguments->Value("--title");
        request.assets = arguments->Value("--assets").value_or("");
        request.kit = arguments->Value("--kit") ? fs::path(*arguments->Value("--kit")) : DefaultKitFolder(argv0);
        request.force = arguments->flags.contains("--force");
        if (const auto size = arguments->Value("--size")) {
            request.size = ParseSize(*size);
            if (!request.size) why = "--size takes WIDTHxHEIGHT in whole pixels, not '" + *size + "'";
        }
    }
    if (!why.empty()) {
        std::cerr << "guidekit make: " << why << " (guidekit make --help tells more)\n";
        return 2;
    }
    const MakeResult result = MakeGuide(request);
    if (!result.ok) {
        std::cerr << "guidekit make: " << result.error << "\n";
        return 2;
    }
    for (const std::string& warning : result.warnings) std::cerr << "warning: " << warning << "\n";
    for (const std::string& note : result.notes) std::cout << "note: " << note << "\n";
    std::cout << "made " << result.executable.string() << "\n";
    return 0;
}

}  // namespace guidekit
