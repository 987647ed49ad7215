// Kinds of window size change, numbered as window systems report them; the
// shell's WindowResized signal carries one with every new client size.
#pragma once

class CDisplay
{
public:
    enum SizeType
    {
        Restored = 0,
        Minimized = 1,
        Maximized = 2,
        OtherRestored = 3,
        OtherMaximized = 4,
    };
};
