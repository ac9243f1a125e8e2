#pragma once
// Tells screen readers of a change the player must know about without
// moving the focus there (the points left as a slider moves, a save's
// steps), as a web page's live region does. Qt has no announcement of its
// own here: each text is a notification that appears under the window,
// which screen readers speak as it appears.
//
// A screen reader reads the text after the event, when the program next
// answers it: each announcement keeps its own notification, and the last
// few stay until they are surely read.

class QObject;
class QString;
class QWidget;

namespace tryster::app {

// Announces `text` (nothing when it is empty) from the window of `from`.
void announce(QWidget* from, const QString& text);

// Whether `object` is one of the notifications announce() makes, and its
// text.
bool isAnnouncement(const QObject* object);
QString announcementText(const QObject* announcement);

}  // namespace tryster::app
