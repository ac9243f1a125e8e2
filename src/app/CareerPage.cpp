#include "app/CareerPage.h"

#include "app/ControlIds.h"
#include "character/Vocabulary.h"
#include "wizard/PageRules.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace tryster::app {

CareerPage::CareerPage(const PageContext& context) : WizardPage(context) {
    auto* trackLabel = placeLabel(QStringLiteral("Job Track"), IDC_JOB_TRACK_LABEL, {16, 20, 240, 18});
    m_track = place(new QComboBox(dialog()), IDC_JOB_TRACK, {16, 40, 240, 26});
    nameAfterLabel(trackLabel, m_track);
    auto* levelLabel = placeLabel(QStringLiteral("Job Level"), IDC_JOB_LEVEL_LABEL, {16, 90, 240, 18});
    m_level = place(new QSlider(Qt::Horizontal, dialog()), IDC_JOB_LEVEL, {16, 110, 240, 26});
    m_level->setTickPosition(QSlider::TicksBelow);
    m_level->setTickInterval(1);
    m_level->setPageStep(1);
    nameAfterLabel(levelLabel, m_level);
    showSliderValue(m_level, {260, 110, 28, 26});
}

void CareerPage::initialise() {
    m_track->clear();
    for (std::string_view name : kCareerNames)
        m_track->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    m_track->setCurrentIndex(0);
    m_level->setRange(0, kMaxCareerLevel);
}

}  // namespace tryster::app

namespace tryster::app {

bool CareerPage::leave() {
    wizard::commitCareer(record(), m_track->currentIndex(), m_level->value());
    return true;
}

}  // namespace tryster::app
