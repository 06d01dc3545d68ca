// Feeds arbitrary bytes to the recovery file reader, then writes back what
// it accepted and reads that again: it must give the same recovery.
#include "document/recovery.h"
#include "fuzz/fuzz_target.h"

#include <string>

FUZZ_TARGET(recovery, data, size) {
    Recovery r, again;
    if (parse_recovery(std::string(reinterpret_cast<const char*>(data), size), r) != RecoveryRead::Ok) return 0;
    if (parse_recovery(recovery_contents(r), again) != RecoveryRead::Ok || again.level != r.level ||
        again.text != r.text || again.pid != r.pid || again.saved.tv_sec != r.saved.tv_sec ||
        again.saved.tv_nsec != r.saved.tv_nsec)
        std::abort();
    return 0;
}
