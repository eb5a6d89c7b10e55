#pragma once

// The program's start-up loop: builds the application, the manager, its D-Bus adaptor and the
// console, runs the event loop, and builds everything anew in the same process whenever the loop
// ends with a status other than 1 (a restart request or the reset escape sequence).
class StartupLoop {
public:
    static int run(int argc, char** argv);

private:
    static int runPass(int argc, char** argv);
};
