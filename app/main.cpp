// Vantrope level editor: builds the windows, starts with a new level, opens
// the level named on the command line (or offers a new level's recovery
// file), keeps recovery files, and runs the event loop. The toolkit's own
// options (-display, -geometry, -scheme, ...) are passed on to
// the main window.
#include "app/autosave.h"
#include "app/main_window.h"
#include "app/file_commands.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <cstdio>
#include <cstring>

namespace {

const char* levelArgument = nullptr;
bool extraArgument = false;
bool helpAsked = false;

// Called by the toolkit for each argument before it tries its own options:
// takes the level file (any argument that is no option) and --help.
int take_argument(int, char** argv, int& i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0) {
        helpAsked = true;
    } else if (arg[0] != '-' || !arg[1]) {
        if (levelArgument) extraArgument = true;
        levelArgument = arg;
    } else {
        return 0;
    }
    i++;
    return 1;
}

void usage(FILE* to) {
    std::fprintf(to, "Usage: vantrope-editor [OPTION]... [LEVEL]\n"
                     "Edits the Vantrope level LEVEL, or a new level.\n"
                     "Options of the toolkit:\n%s\n", Fl::help);
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    if (Fl::args(argc, argv, i, take_argument) == 0 || i < argc || extraArgument) {
        if (extraArgument) std::fprintf(stderr, "vantrope-editor: only one level can be opened\n");
        else std::fprintf(stderr, "vantrope-editor: unknown option or missing value: '%s'\n", i < argc ? argv[i] : "");
        usage(stderr);
        return 2;
    }
    if (helpAsked) {
        usage(stdout);
        return 0;
    }
    build_editor();
    rootWindow->show(argc, argv);
    start_autosave();
    if (levelArgument) open_level_file(levelArgument);
    else recover_new_level();
    return Fl::run();
}
