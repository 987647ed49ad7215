// The worker body is the fractal state's own row loop, so a worker and a
// single-threaded render compute each row with the same code and bits.
#include "FractalThread.h"

#include <cassert>

#include "Mandelbrot.h"
#include "resources/Image.h"

CFractalThread::CFractalThread(CImage* target, CMandelbrot* state)
    : m_target(target), m_state(state)
{
    assert(target && state && "CFractalThread::CFractalThread(): null target or state");
}

void CFractalThread::Run()
{
    m_state->RenderRows(*m_target);
}
