// One render worker: a thread that takes rows of the current job from the
// fractal state's shared counter and writes them into the target image. It
// runs for one render and is joined and deleted by the application.
#pragma once

#include "core/Thread.h"

class CImage;
class CMandelbrot;

class CFractalThread : public CThread
{
public:
    // Neither is owned; both must outlive the run. The target has the size
    // and 3 channels of the job the state was last reset for.
    CFractalThread(CImage* target, CMandelbrot* state);

    void Run() override;

    CImage* GetTarget() const { return m_target; }
    CMandelbrot* GetState() const { return m_state; }

private:
    CImage* m_target;
    CMandelbrot* m_state;
};
