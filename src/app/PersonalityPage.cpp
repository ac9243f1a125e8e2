#include "app/PersonalityPage.h"

#include "app/CPlomSaved.h"
#include "app/ControlIds.h"
#include "app/TextBoundary.h"
#include "character/Vocabulary.h"
#include "platform/Sound.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace tryster::app {
namespace {

// The slider rows from top to bottom, each with the label of its trait
// (the labels' ids run Nice, Neat, Outgoing, Playful, Active).
struct TraitRow {
    Trait trait;
    int sliderId;
    int labelId;
};
constexpr TraitRow kRows[] = {
    {kNice, IDC_NICE_SLIDER, IDC_NICE_LABEL},
    {kNeat, IDC_NEAT_SLIDER, IDC_NEAT_LABEL},
    {kOutgoing, IDC_OUTGOING_SLIDER, IDC_OUTGOING_LABEL},
    {kActive, IDC_ACTIVE_SLIDER, IDC_ACTIVE_LABEL},
    {kPlayful, IDC_PLAYFUL_SLIDER, IDC_PLAYFUL_LABEL},
};
constexpr int kFirstRowY = 60;
constexpr int kRowHeight = 38;

}  // namespace

PersonalityPage::PersonalityPage(const PageContext& context) : WizardPage(context) {
    QWidget* d = dialog();
    auto* pointsLabel =
        placeLabel(QStringLiteral("Personality Points Left:"), IDC_POINTS_LABEL, {16, 18, 200, 22});
    m_pointsLeft = placeLabel(QString::number(kPersonalityPoints), IDC_POINTS_LEFT, {216, 18, 60, 22});
    nameAfterLabel(pointsLabel, m_pointsLeft);

    int y = kFirstRowY;
    for (const TraitRow& row : kRows) {
        auto* label = placeLabel(gameTextToQt(kTraitLabels[row.trait]), row.labelId, {16, y, 96, 26});
        auto* slider = place(new QSlider(Qt::Horizontal, d), row.sliderId, {116, y, 240, 26});
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(1);
        slider->setPageStep(1);
        nameAfterLabel(label, slider);
        showSliderValue(slider, {360, y, 28, 26});
        connect(slider, &QSlider::valueChanged, this, &PersonalityPage::showPointsAndSign);
        m_sliders[static_cast<std::size_t>(row.trait)] = slider;
        y += kRowHeight;
    }
    m_sign =
        place(new QPushButton(QStringLiteral("What's Your Sign?"), d), IDC_SIGN_BUTTON, {116, 258, 200, 30});
    m_sign->setAutoDefault(false);
    connect(m_sign, &QPushButton::clicked, this, &PersonalityPage::nextSign);
    // The sign's name, kept beside the button; never shown.
    m_signName = placeLabel(QString(), IDC_SIGN_LABEL, {0, 0, 0, 0});
    m_signName->hide();
}

void PersonalityPage::initialise() {
    for (QSlider* slider : m_sliders) slider->setRange(0, kMaxTraitValue);
}

wizard::TraitPositions PersonalityPage::positions() const {
    wizard::TraitPositions p{};
    for (std::size_t trait = 0; trait < m_sliders.size(); ++trait) p[trait] = m_sliders[trait]->value();
    return p;
}

void PersonalityPage::enter() {
    showPointsAndSign();
}

bool PersonalityPage::leave() {
    if (const wizard::CheckResult failed = wizard::commitPersonality(record(), positions())) {
        showMessage(dialog(), gameTextToQt(wizard::kWarningCaption), gameTextToQt(*failed));
        return false;
    }
    return true;
}

void PersonalityPage::showPointsAndSign() {
    const wizard::TraitPositions p = positions();
    m_pointsLeft->setText(QString::number(wizard::pointsLeft(p)));
    // Named after its label; the number reaches screen readers as its
    // description.
    m_pointsLeft->setAccessibleDescription(m_pointsLeft->text());
    const QString sign = gameTextToQt(kSignNames[nearestSign(p)]);
    m_sign->setText(sign);
    m_signName->setText(sign);
}

void PersonalityPage::nextSign() {
    platform::playClick();
    const wizard::TraitPositions preset = wizard::presetOf(wizard::signAfter(positions()));
    for (std::size_t trait = 0; trait < m_sliders.size(); ++trait) {
        const QSignalBlocker block(m_sliders[trait]);
        m_sliders[trait]->setValue(preset[trait]);
    }
    showPointsAndSign();
}

}  // namespace tryster::app
