#pragma once

// The update helper's swap of the installed bundle for the verified candidate: a copy of the
// candidate is staged beside the target and verified, the target becomes a backup, the copy
// takes its place and is verified and started. If the swap, that verification or the start
// fails, the backup goes back in place and is started again. The stage copy never outlives
// the call; the backup always does. Runs sequentially on the calling thread.

#include "LauncherUpdateError.h"

#include "core/Result.h"

#include <functional>
#include <string>

namespace quorin {

class UpdateInstallTransaction {
public:
    // Each step receives a bundle path: validate checks the bundle, launch starts it.
    using Step = std::function<Status<UpdateFailure>(const std::string& bundle)>;

    UpdateInstallTransaction(Step validate, Step launch);

    // location when either path breaks the location rule, both name the same bundle or the
    // target's folder is not writable; otherwise the first failing step's error (after the
    // rollback, or the rollback's own move error when the old bundle cannot be put back).
    Status<UpdateFailure> install(const std::string& candidate, const std::string& target) const;

private:
    Status<UpdateFailure> swapAndStart(const std::string& target, const std::string& stage, const std::string& backup) const;
    Status<UpdateFailure> rollBack(const std::string& target, const std::string& stage, const std::string& backup) const;

    Step m_validate;
    Step m_launch;
};

} // namespace quorin
