#include "app/CareerPage.h"

#include "app/TextBoundary.h"
#include "app/TickedSlider.h"
#include "character/Vocabulary.h"
#include "wizard/PageRules.h"

#include <QComboBox>
#include <QLabel>

namespace tryster::app {

CareerPage::CareerPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* trackLabel = placeLabel(QStringLiteral("Job Track"), {16, 20, 240, 18});
    m_track = place(new QComboBox(this), {16, 40, 240, 26});
    for (std::string_view name : kCareerNames) m_track->addItem(gameTextToQt(name));
    m_track->setCurrentIndex(0);
    nameAfterLabel(trackLabel, m_track);
    auto* levelLabel = placeLabel(QStringLiteral("Job Level"), {16, 90, 240, 18});
    m_level = place(new TickedSlider(kMaxCareerLevel, this), {16, 110, 240, 26});
    nameAfterLabel(levelLabel, m_level);
    showSliderValue(m_level, {260, 110, 28, 26});
    setTabOrder({m_track, m_level});
}

bool CareerPage::leave() {
    wizard::commitCareer(host().record(), m_track->currentIndex(), m_level->value());
    return true;
}

}  // namespace tryster::app
