#pragma once
// What the main window shows and does on the desktop, as the monitor logic asks for it, in
// parts by what a caller needs: the status pictures, the tray, the window and its menus, the
// sound, the message boxes and the exit request. The Qt window implements all of them; a
// headless face implements the parts it shows and takes the quiet ones for the rest.
#include "monitor/SoundPlayer.h"
#include "monitor/StatusView.h"
#include "monitor/TrayView.h"
#include "monitor/WindowView.h"
#include "platform/Dialogs.h"

namespace monitor {

// The whole face in one object. ShowMessage is the one message box; RequestExit ends the
// program at once.
class MonitorView : public StatusView,
                    public TrayView,
                    public WindowView,
                    public SoundPlayer,
                    public platform::Dialogs,
                    public platform::ExitRequest {};

// The parts of the face the monitor logic talks to; they may be separate objects, and must
// outlive the logic.
struct MonitorFaces {
    // Every part from one face.
    MonitorFaces(MonitorView& view) : MonitorFaces(view, view, view, view, view, view) {}
    MonitorFaces(StatusView& status, TrayView& tray, WindowView& window, SoundPlayer& sound,
                 platform::Dialogs& dialogs, platform::ExitRequest& exit)
        : status(status), tray(tray), window(window), sound(sound), dialogs(dialogs), exit(exit) {}

    StatusView& status;
    TrayView& tray;
    WindowView& window;
    SoundPlayer& sound;
    platform::Dialogs& dialogs;
    platform::ExitRequest& exit;
};

}  // namespace monitor
