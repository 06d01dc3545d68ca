// Vantrope level editor: builds the windows, starts with a new level and
// runs the event loop. The toolkit's own options (-display, -geometry,
// -scheme, ...) are passed on to the main window.
#include "app/main_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

int main(int argc, char** argv) {
    build_editor();
    rootWindow->show(argc, argv);
    return Fl::run();
}
