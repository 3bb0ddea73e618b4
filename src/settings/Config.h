#pragma once
// The main settings held in memory ("Vorla.ini" and the two options of "VrFilter.ini").
// The main window owns one Config; fields carry the settings' file keys as names.
#include <optional>
#include <string>

#include "settings/FindInSkin.h"

namespace settings {

struct Config {
    std::string SkinFolder;  // current_skin: full path of the skin folder, ends in "/"
    bool autorun = false;
    bool autocheck = false;
    bool autoconnect = false;
    bool header_only = false;
    bool ontop = false;  // mirrors the check mark of the On Top menu item
    int minutes = 1;
    int posx = 50;  // main window left and top
    int posy = 50;
    int memo_posx = 50;  // message window left and top, from its last closing
    int memo_posy = 100;
    // The message window has a place of its own; until then it opens beside the main window
    // and the file holds "empty" for it.
    bool memo_pos_saved = true;
    bool playsnd = false;
    std::string wavsnd = kEmptyMarker;  // may hold the marker itself
    bool icon_tray = false;
    bool run_my_client = false;
    std::string my_mail_client = kEmptyMarker;  // program path, optionally ",parameters"
    bool reset = false;
    std::string SkinDir;  // skin_dir: folder holding the skin folders
    bool RAS_connect = false;
    int RAS_num = 0;
    bool filter = false;
    bool hidden = false;
    int srv_news = 0;
    int speed = 0;
    int min_scroll = 20;
    bool readlg = false;
    int nblg = 0;
    bool vrmail = false;
    std::string smtphost;
    int smtpport = 25;
    bool sendorg = false;
    std::string smtp_tls_mode = "auto";  // as an account's tls_mode
    std::string smtp_tls_fingerprint;
    // Delete in the message window asks before it removes a message from the server.
    bool confirm_delete = false;
    // Account passwords go into the desktop keyring instead of "Accounts.ini".
    bool use_keyring = false;
    int max_size = 0;  // "VrFilter.ini" [Misc]: size limit in KB, 0 for none
    bool auth_fltr = false;
    // New mail is a message whose unique id the account has not seen; off: the count rule.
    bool announce_new = false;
    // A desktop notification for the new mail of each check (with announce_new only).
    bool notify = false;
    // "HH:MM-HH:MM" (may wrap past midnight) without sound or notification; empty: none.
    std::string quiet_hours;
};

// The ticker interval in ms for a speed setting: 30, 15 or 5 for 0, 1 or 2; nothing for any
// other value, which leaves the ticker's interval as it was.
std::optional<int> TickerIntervalForSpeed(int speed);

// A folder path as the settings hold it: backslashes read as "/", ending in "/".
std::string AsFolder(const std::string& path);

// A folder path of this system (the program folder) ending in "/"; its backslashes are names.
std::string WithTrailingSlash(std::string path);

// Backslashes read as "/": settings and skins written on the original platform still work.
std::string WithSlashes(std::string path);

}  // namespace settings
