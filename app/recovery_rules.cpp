#include "app/recovery_rules.h"

#include <cctype>

bool CRecoveryRules::OnChange(bool bByUser)
{
    if (!bByUser && !m_bUnsaved)
        return false;
    m_bUnsaved = true;
    if (m_bTimerArmed)
        return false;
    m_bTimerArmed = true;
    return true;
}

CRecoveryRules::Step CRecoveryRules::OnTimer(bool bEmpty)
{
    m_bTimerArmed = false;
    return Due(bEmpty);
}

CRecoveryRules::Step CRecoveryRules::OnEndSession(bool bEmpty)
{
    return Due(bEmpty);
}

CRecoveryRules::Step CRecoveryRules::Due(bool bEmpty) const
{
    if (!m_bUnsaved)
        return Step::none;
    return bEmpty ? Step::remove : Step::write;
}

RecoveryOffer OfferFor(const FoundRecovery& found)
{
    if (!found.bPresent)
        return RecoveryOffer::none;
    if (!found.copy.notes.empty())
        return RecoveryOffer::ask;
    return found.bDamaged ? RecoveryOffer::keepAside : RecoveryOffer::drop;
}

bool OpenCommandLineFileAfterRestore(const std::string& strCommandLineFile, const std::string& strRestoredFile)
{
    // An empty command line would make the restored file's name current no more.
    if (strCommandLineFile.empty())
        return false;
    if (strCommandLineFile.size() != strRestoredFile.size())
        return true;
    for (size_t i = 0; i < strCommandLineFile.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(strCommandLineFile[i]))
            != std::tolower(static_cast<unsigned char>(strRestoredFile[i])))
            return true;
    }
    return false;
}
