#include "platform/process_end.h"

#include <cstdio>
#include <unistd.h>
#include <utility>

void QtProcessEnd::endProcess()
{
    if (!std::exchange(ending_, true)) {
        if (lastWords_)
            lastWords_();
        if (beforeEnd_)
            beforeEnd_();
    }
    std::fflush(nullptr);
    // The browser helpers watch their channel to this process and leave with it; no
    // destructor may run here, because a run can be several nested event loops deep.
    ::_exit(0);
}
