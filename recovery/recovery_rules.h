#pragma once
// When the recovery copy is written, offered and dropped: plain decisions,
// no file and no window.
#include "recovery/recovery_files.h"

#include <string>

// When the copy is written and dropped. A change arms the one timer; when
// it goes off the copy is written, or dropped when no note is left; a save
// of the collection leaves nothing to recover.
class CRecoveryRules {
public:
    enum class Step { none, write, remove };

    // True when the timer is to be armed now (it is not running yet). The
    // user's changes make the notes unsaved; notes read from a file (or its
    // name set) only join notes that are unsaved already.
    bool OnChange(bool bByUser);
    Step OnTimer(bool bEmpty);
    // Windows is ending the session: at once, with something unsaved.
    Step OnEndSession(bool bEmpty);
    // The collection was written to its file.
    void OnSaved() { m_bUnsaved = m_bTimerArmed = false; }

private:
    Step Due(bool bEmpty) const;

    bool m_bUnsaved = false;
    bool m_bTimerArmed = false;
};

// What a start does with the copy it found before asking anything.
enum class RecoveryOffer {
    none,        // nothing there
    drop,        // an empty copy: nothing to recover
    keepAside,   // damaged with no note whole: kept as the previous copy, not offered
    ask,
};
RecoveryOffer OfferFor(const FoundRecovery& found);
