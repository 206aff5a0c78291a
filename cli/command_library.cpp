// tesselor-cli library: lists, deletes, renames and adds the tiles of one library.
#include <cstdio>
#include <memory>
#include <optional>
#include <set>

#include "cli/command_voice.h"
#include "cli/library_option.h"
#include "library/tile_making_run.h"
#include "library/tile_operations.h"
#include "platform/app_paths.h"
#include "platform/console_shell.h"
#include "platform/directory_listing.h"

namespace tesselor::cli {

namespace {

constexpr const char* kUsage =
    "Usage: tesselor-cli library [NAME|DIR] ACTION [ARGS...] [--yes]\n"
    "\n"
    "Works on one tile library: NAME is a library's name, yours or an installed one\n"
    "(default \"Demo Tile Library\"); a value with a '/' in it is a folder path\n"
    "(./mytiles). Installed libraries can be listed but not changed.\n"
    "\n"
    "Actions:\n"
    "  list            print the names of the library's tiles, sorted\n"
    "  delete TILE...  delete these tiles\n"
    "  rename BASE     rename every tile to BASE0, BASE1, ... in list order\n"
    "                  (BASE has at most 15 characters and may be empty)\n"
    "  create NEWNAME  make a new, empty library NEWNAME among your own\n"
    "  add FOLDER      make a tile from every JPEG photograph in FOLDER\n"
    "\n"
    "Options:\n"
    "  -y, --yes       answer Yes to the question delete, rename and add ask\n"
    "                  (without it the answer is No and nothing changes)\n"
    "  --fit FIT       how add makes a tile of a photograph that is not square:\n"
    "                  squeeze it whole (the default) or crop its largest\n"
    "                  centred square\n"
    "  --              what follows is not an option (a tile named -x)\n"
    "  -h, --help      show this text\n"
    "\n"
    "Legacy \".raw\" tiles are converted to JPEG tiles first; when one cannot be,\n"
    "the command says why and its exit status is 1. When delete, rename or add go\n"
    "ahead, they end with the line \"Tiles in Library : N\". Ctrl-C stops add\n"
    "after the photograph in hand.\n"
    "Exit status: 0 done, 1 failed or answered No, 2 bad usage.\n";

enum class Action { kList, kDelete, kRename, kCreate, kAdd };

struct Request {
  std::optional<std::string> library;  // as given; the default library when absent
  Action action = Action::kList;
  Arguments operands;
  bool yes = false;
  TileFit fit = TileFit::kSqueeze;
};

std::optional<Action> ParseAction(const std::string& word) {
  if (word == "list") return Action::kList;
  if (word == "delete") return Action::kDelete;
  if (word == "rename") return Action::kRename;
  if (word == "create") return Action::kCreate;
  if (word == "add") return Action::kAdd;
  return std::nullopt;
}

constexpr CommandVoice kVoice{"library", "lists the actions"};

// Splits the words into options and the rest, then takes NAME unless the
// first word is already an action. Returns an exit code when it is done.
std::optional<int> Parse(const Arguments& args, Request& request) {
  Arguments words;
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-') {
      words.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitDone;
    } else if (arg == "--yes" || arg == "-y") {
      request.yes = true;
    } else if (arg == "--fit") {
      if (const std::optional<int> exit = TakeTileFit(kVoice, args, i, request.fit)) return exit;
    } else {
      return kVoice.UsageError("unknown option '" + arg + "'");
    }
  }
  if (words.empty()) return kVoice.UsageError("no action given");

  size_t next = 0;
  if (!ParseAction(words[0])) {
    if (words.size() == 1) return kVoice.UsageError("unknown action '" + words[0] + "'");
    request.library = words[next++];
  }
  const std::optional<Action> action = ParseAction(words[next++]);
  if (!action) return kVoice.UsageError("unknown action '" + words[next - 1] + "'");
  request.action = *action;
  request.operands.assign(words.begin() + static_cast<std::ptrdiff_t>(next), words.end());

  const size_t count = request.operands.size();
  const bool countFits = request.action == Action::kList     ? count == 0
                         : request.action == Action::kDelete ? count >= 1
                                                             : count == 1;
  if (!countFits)
    return kVoice.UsageError("wrong number of arguments for '" + words[next - 1] + "'");
  return std::nullopt;
}

// A terminal progress bar, made when a command shows its bar and gone when
// it hides it.
ProgressBar ConsoleBar(std::unique_ptr<ProgressWindow>& window, const std::string& status) {
  return {[&window, status](int total) {
            window = Shell::Instance().CreateProgressWindow();
            window->SetStatusText(status);
            window->SetRange(0, total);
          },
          [&window] { window->StepIt(); }, [&window] { window.reset(); }};
}

void PrintCount(const std::string& libraryFolder) {
  std::printf(
      "%s\n",
      TileCountText(static_cast<int>(ListManagerTiles(libraryFolder).names.size())).c_str());
}

int DeleteTiles(const std::string& libraryFolder, const Arguments& tiles) {
  // Only tiles the list shows can be chosen, as in the manager; that also
  // keeps a name such as "../x" from reaching a file outside the library.
  const TileList list = RefreshTileList(libraryFolder);
  const std::set<std::string> known(list.names.begin(), list.names.end());
  std::vector<std::string> selected;
  for (const std::string& tile : std::set<std::string>(tiles.begin(), tiles.end())) {
    if (!known.contains(tile))
      return kVoice.Failure("no tile named '" + tile + "' in this library");
    selected.push_back(tile);
  }
  if (!DeleteSelectedTiles(libraryFolder, selected)) return kExitFailed;
  PrintCount(libraryFolder);
  return list.upgradeFailed ? kExitFailed : kExitDone;
}

int RenameTiles(const std::string& libraryFolder, const std::string& base) {
  std::unique_ptr<ProgressWindow> window;
  const TileList list = RefreshTileList(libraryFolder);
  const RenameOutcome outcome =
      RenameAllTiles(libraryFolder, list.names, base, ConsoleBar(window, "Renaming tiles"));
  if (outcome == RenameOutcome::kRefused || outcome == RenameOutcome::kDeclined) return kExitFailed;
  PrintCount(libraryFolder);
  return outcome == RenameOutcome::kRenamed && !list.upgradeFailed ? kExitDone : kExitFailed;
}

int AddTiles(const std::string& libraryFolder, const std::string& folder, TileFit fit) {
  if (!IsFolder(folder)) return kVoice.Failure("cannot read the folder '" + folder + "'");
  std::unique_ptr<ProgressWindow> window;
  const ProgressBar bar = ConsoleBar(window, "Making tiles");
  // Ctrl-C stops the run after the photograph in hand, like a second click.
  ConsoleShell::StopWorkOnInterrupt();
  TileMakingRun* running = nullptr;
  TileMakingView view;
  view.progress = {bar.show,
                   [&] {
                     bar.step();
                     if (ConsoleShell::InterruptRequested()) running->Abort();
                   },
                   bar.hide};
  view.runEnded = [&] { PrintCount(libraryFolder); };
  TileMakingRun run(view);
  run.SetFit(fit);
  running = &run;
  return run.MakeTilesFromFolder(folder) == TileMakingOutcome::kFinished ? kExitDone : kExitFailed;
}

}  // namespace

int RunLibrary(const Arguments& args) {
  Request request;
  if (const std::optional<int> exit = Parse(args, request)) return *exit;
  if (request.yes) {
    if (auto* console = dynamic_cast<ConsoleShell*>(&Shell::Instance()))
      console->SetQuestionAnswer(MessageAnswer::kYes);
  }
  if (request.library && !SelectLibrary(*request.library))
    return kVoice.UsageError("invalid library '" + *request.library + "'");
  if (request.action == Action::kCreate)
    return CreateNewLibrary(request.operands[0]) ? kExitDone : kExitFailed;

  const std::string libraryFolder = Paths().currentLibrary;
  if (ToLowerAscii(libraryFolder) == "help/" || !IsFolder(Paths().LibraryDirectory()))
    return kVoice.Failure("no library " + Paths().LibraryDirectory());
  switch (request.action) {
    case Action::kList: {
      // The tiles converted before a failure are listed all the same.
      const TileList list = RefreshTileList(libraryFolder);
      for (const std::string& name : list.names) std::printf("%s\n", name.c_str());
      return list.upgradeFailed ? kExitFailed : kExitDone;
    }
    case Action::kDelete:
      return DeleteTiles(libraryFolder, request.operands);
    case Action::kRename:
      return RenameTiles(libraryFolder, request.operands[0]);
    case Action::kAdd:
      return AddTiles(libraryFolder, request.operands[0], request.fit);
    case Action::kCreate:
      break;
  }
  return kExitFailed;
}

}  // namespace tesselor::cli
