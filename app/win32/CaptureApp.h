#pragma once

// The application object: it runs the main dialog and ends the program with it.
class CCaptureApp
{
public:
    int Run();
};
