#include "app/Announcer.h"

#include <QAccessible>
#include <QWidget>

namespace tryster::app {
namespace {

constexpr const char* kAnnouncementName = "trysterAnnouncement";
constexpr const char* kTextProperty = "trysterAnnouncementText";
// A screen reader reads each announcement after the event; a slider moved
// quickly makes several at once.
constexpr int kKeptAnnouncements = 16;

}  // namespace

void announce(QWidget* from, const QString& text) {
    if (text.isEmpty()) return;
    QWidget* window = from->window();
    QList<QWidget*> kept = window->findChildren<QWidget*>(QLatin1String(kAnnouncementName), Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i + kKeptAnnouncements <= kept.size(); ++i) delete kept[i];
    // Never shown: only assistive tools see it.
    // The text is the notification's name from the start: a change of name
    // would be one more event in a burst that screen readers thin out.
    auto* note = new QWidget(window);
    note->setObjectName(QLatin1String(kAnnouncementName));
    note->setProperty(kTextProperty, text);
    QAccessibleEvent appeared(note, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&appeared);
}

bool isAnnouncement(const QObject* object) {
    return object->objectName() == QLatin1String(kAnnouncementName);
}

QString announcementText(const QObject* announcement) {
    return announcement->property(kTextProperty).toString();
}

}  // namespace tryster::app
