// The subcommands of tesselor-cli. Each returns the process exit code:
// 0 done, 1 failed (message on stderr), 2 bad usage.
#pragma once

#include <string>
#include <vector>

namespace tesselor::cli {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

using Arguments = std::vector<std::string>;

int RunInfo(const Arguments& args);
int RunConvert(const Arguments& args);
int RunMosaic(const Arguments& args);
int RunTiles(const Arguments& args);
int RunLibraries(const Arguments& args);
int RunLibrary(const Arguments& args);

}  // namespace tesselor::cli
