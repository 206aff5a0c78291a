#include "cli/library_option.h"

#include "platform/app_paths.h"
#include "platform/directory_listing.h"

namespace tesselor::cli {

bool SelectLibrary(const std::string& value) {
  if (value.find('/') == std::string::npos) {
    if (value.empty()) return false;
    Paths().currentLibrary = value + "/";
    return true;
  }
  std::string folder = WithTrailingSlash(value);
  if (folder.front() != '/')
    folder = CurrentDirectory() + (folder.starts_with("./") ? folder.substr(2) : folder);
  folder.pop_back();
  const size_t slash = folder.find_last_of('/');
  if (slash == std::string::npos || slash + 1 == folder.size()) return false;
  // The folder's parent becomes the one library root, so an installed
  // library of the same name cannot stand in for a folder that is missing.
  Paths().programDirectory = folder.substr(0, slash + 1);
  Paths().userLibraryDirectory.clear();
  Paths().currentLibrary = folder.substr(slash + 1) + "/";
  return true;
}

std::optional<int> TakeTileFit(const CommandVoice& voice, const Arguments& args, size_t& i,
                               TileFit& fit) {
  if (i + 1 >= args.size()) return voice.UsageError("--fit needs a value");
  const std::string lower = ToLowerAscii(args[++i]);
  if (lower == "squeeze") {
    fit = TileFit::kSqueeze;
  } else if (lower == "crop") {
    fit = TileFit::kCrop;
  } else {
    return voice.UsageError("invalid value '" + args[i] + "' for --fit");
  }
  return std::nullopt;
}

}  // namespace tesselor::cli
