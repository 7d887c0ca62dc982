#include "recovery/recovery_rules.h"

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
