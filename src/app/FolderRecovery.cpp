#include "app/FolderRecovery.h"

#include "app/CPlomSaved.h"
#include "app/CTROKCancel.h"
#include "app/TextBoundary.h"
#include "app/WaitCursor.h"
#include "exchange/ExchangeTexts.h"
#include "share/Journal.h"
#include "share/Recovery.h"
#include "share/ShareOffer.h"
#include "wizard/PageRules.h"

#include <QStringList>

namespace tryster::app {
namespace {

bool setJournalAside(QWidget* parent, const std::string& gameFolder, const share::RecoveryOutcome& recovery) {
    const QString question = sharedTextToQt(share::asSentence(share::damagedJournalMeaning(recovery))) +
                             QStringLiteral("\n\n") + sharedTextToQt(share::kSetJournalAsideQuestion);
    if (!askOkCancel(parent, gameTextToQt(exchange::kInquiryCaption), question)) return false;
    if (share::setJournalAside(gameFolder)) return true;
    showMessage(parent, gameTextToQt(exchange::kErrorCaption),
                sharedTextToQt(share::asSentence("the damaged journal could not be set aside; nothing was changed")));
    return false;
}

}  // namespace

bool finishInterrupted(QWidget* parent, const std::string& gameFolder) {
    share::RecoveryOutcome recovery;
    {
        const WaitCursor wait;
        recovery = share::recoverInterrupted(gameFolder);
    }
    if (recovery.damagedJournal) {
        if (!setJournalAside(parent, gameFolder, recovery)) return false;
        const WaitCursor wait;
        recovery = share::recoverInterrupted(gameFolder);
    }
    if (recovery.messages.empty()) return recovery.clean;
    QStringList sentences;
    for (const std::string& message : recovery.messages) sentences << sharedTextToQt(share::asSentence(message));
    showMessage(parent, gameTextToQt(recovery.clean ? wizard::kWarningCaption : exchange::kErrorCaption),
                sentences.join(QLatin1Char(' ')));
    return recovery.clean;
}

}  // namespace tryster::app
