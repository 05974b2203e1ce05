#include "platform/process_end.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

void QtProcessEnd::endProcess()
{
    if (lastWords_)
        lastWords_();
    std::fflush(nullptr);
    // The browser helpers watch their channel to this process and leave with it; no
    // destructor may run here, because a run can be several nested event loops deep.
    ::_exit(0);
}
