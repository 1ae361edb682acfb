#pragma once

#include "walletlayout.h"

// Two copies of one wallet that went their own ways (a sync tool between machines) made one again, losing nothing.
namespace walletmerge {

// What the other copy brought: profiles added (its own, and its versions kept beside this machine's), profiles of
// this machine it changed or deleted, and whether it has another master password.
struct Count
{
    int added = 0;
    int changed = 0;
    bool masterPasswordChanged = false;
};

// The name of the other copy's version of a profile that both changed.
QString otherCopyName(const QString &name);

// base: the wallet as both last had it; here: this machine's; there: the other copy's. Profiles are matched by
// address and login name (the n-th alike with the n-th). Changed on one side only, that side's version counts (a
// deletion too); changed alike on both, one of them; changed differently on both, this machine's version stays and
// the other's is kept under otherCopyName(); deleted here and changed there, the other's version stays. The
// enrolment of here counts when it changed since base, else that of there. With here unchanged since base, the
// result is there itself.
WalletContent merge(const WalletContent &base, const WalletContent &here, const WalletContent &there, Count *count);

} // namespace walletmerge
