#include "app/PersonalityPage.h"

#include "app/Announcer.h"
#include "app/CPlomSaved.h"
#include "app/TextBoundary.h"
#include "app/TickedSlider.h"
#include "character/Vocabulary.h"
#include "platform/Sound.h"
#include "wizard/Announcements.h"

#include <QLabel>
#include <QPushButton>

namespace tryster::app {
namespace {

// The slider rows from top to bottom.
constexpr Trait kRows[] = {kNice, kNeat, kOutgoing, kActive, kPlayful};
constexpr int kFirstRowY = 60;
constexpr int kRowHeight = 38;

}  // namespace

PersonalityPage::PersonalityPage(PageHost& host, QWidget* parent) : WizardPage(host, parent) {
    auto* pointsLabel = placeLabel(QStringLiteral("Personality Points Left:"), {16, 18, 200, 22});
    m_pointsLeft = placeLabel(QString::number(kPersonalityPoints), {216, 18, 60, 22});
    nameAfterLabel(pointsLabel, m_pointsLeft);

    QList<QWidget*> order;
    int y = kFirstRowY;
    for (Trait trait : kRows) {
        auto* label = placeLabel(gameTextToQt(kTraitLabels[trait]), {16, y, 96, 26});
        auto* slider = place(new TickedSlider(kMaxTraitValue, this), {116, y, 240, 26});
        slider->setToolTip(gameTextToQt(kTraitTips[trait]));
        nameAfterLabel(label, slider);
        showSliderValue(slider, {360, y, 28, 26});
        connect(slider, &QSlider::valueChanged, this, [this] {
            if (!m_settingPreset) showPointsAndSign(true);
        });
        m_sliders[static_cast<std::size_t>(trait)] = slider;
        order << slider;
        y += kRowHeight;
    }
    m_sign = place(new QPushButton(QStringLiteral("What's Your Sign?"), this), {116, 258, 200, 30});
    m_sign->setAutoDefault(false);
    m_sign->setAccessibleDescription(gameTextToQt(wizard::kSignButtonDescription));
    connect(m_sign, &QPushButton::clicked, this, &PersonalityPage::nextSign);
    setTabOrder(order << m_sign);
}

wizard::TraitPositions PersonalityPage::positions() const {
    wizard::TraitPositions p{};
    for (std::size_t trait = 0; trait < m_sliders.size(); ++trait) p[trait] = m_sliders[trait]->value();
    return p;
}

int PersonalityPage::enter(int step) {
    showPointsAndSign(false);
    return step;
}

bool PersonalityPage::leave() {
    if (const wizard::CheckResult failed = wizard::commitPersonality(host().record(), positions())) {
        showMessage(this, gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

void PersonalityPage::showPointsAndSign(bool announced) {
    const wizard::TraitPositions p = positions();
    const int points = wizard::pointsLeft(p);
    const StarSign sign = nearestSign(p);
    m_pointsLeft->setText(QString::number(points));
    // Named after its label; the number reaches screen readers as its
    // description.
    m_pointsLeft->setAccessibleDescription(m_pointsLeft->text());
    m_sign->setText(gameTextToQt(kSignNames[sign]));
    m_sign->setAccessibleName(gameTextToQt(wizard::signButtonName(sign)));
    // The player hears the slider or the sign button that has the focus;
    // the points and the sign beside them are told.
    if (announced) announce(this, gameTextToQt(wizard::personalityAnnouncement(m_toldPoints, m_toldSign, points, sign)));
    m_toldPoints = points;
    m_toldSign = sign;
}

void PersonalityPage::nextSign() {
    platform::playClick();
    const wizard::TraitPositions preset = wizard::presetOf(wizard::signAfter(positions()));
    // The numbers beside the sliders follow each one; the points and the
    // sign are worked out and told once, for the whole preset.
    m_settingPreset = true;
    for (std::size_t trait = 0; trait < m_sliders.size(); ++trait) m_sliders[trait]->setValue(preset[trait]);
    m_settingPreset = false;
    showPointsAndSign(true);
}

}  // namespace tryster::app
