#pragma once

class QtProcessEnd;
struct Platform;

// Opens the program's window on these services and runs until the program ends.
int runMainWindow(const Platform& platform, QtProcessEnd& processEnd);
