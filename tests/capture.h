#pragma once

#include "testsupport.h"

#include <QByteArray>

#include <cstdio>
#include <functional>
#include <unistd.h>

// Runs f with standard output and error sent to files, and returns what was
// written to each.
struct Captured {
    QByteArray out;
    QByteArray err;
};

inline Captured captureOutput(const std::function<void()>& f)
{
    std::fflush(stdout);
    std::fflush(stderr);
    FILE* outFile = std::tmpfile();
    FILE* errFile = std::tmpfile();
    const int savedOut = dup(1);
    const int savedErr = dup(2);
    dup2(fileno(outFile), 1);
    dup2(fileno(errFile), 2);
    f();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::rewind(outFile);
    std::rewind(errFile);
    return {readStream(outFile), readStream(errFile)};
}
