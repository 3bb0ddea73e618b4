#pragma once
// Assistive technology sees the skinned controls as what they are: the check box, radio button
// and drop-down list with their role, name (the caption without its accelerator marker, the
// chosen entry, or the buddy label) and state; the picture buttons as push buttons named by
// their hint; the pictures of a window with the role their owner gives them; the web link as
// a link. Each offers the action that presses, toggles or opens it beside Qt's own SetFocus,
// through which a screen reader moves the focus.

#include <functional>

class QAccessibleEvent;
class QObject;
class QString;

namespace uicontrols {

// Installs the accessibility factory of the skinned controls once per process.
void InstallControlAccessibility();

// Tells assistive technology of a change of a skinned control. Qt passes an event on only
// while a reader listens; a watcher (a test) sees every one.
void Announce(QAccessibleEvent& event);
void WatchAnnouncements(std::function<void(QAccessibleEvent&)> watcher);

// Announces a new accessible name of the control and keeps it in announced; the name given
// again unchanged says nothing, as controls redrawn often set it at every draw.
void AnnounceName(QObject* control, QString& announced, const QString& name);

}  // namespace uicontrols
