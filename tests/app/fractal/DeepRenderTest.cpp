// The deep renderer against MPFR: small views at several depths through
// CheckDeepRender, with and without skipping, over the cases that need
// rebasing (a reference that ends early, orbits near a mini-set's nucleus)
// and rescaling (differences below 1e-308).
#include <string>

#include <gtest/gtest.h>

#include "fractal/DeepCheck.h"
#include "fractal/DeepRender.h"
#include "fractal/Escape.h"
#include "fractal/RowKernel.h"

namespace
{

DeepView View(const std::string& re, const std::string& im, const char* scale, uint32_t limit,
              uint32_t width, uint32_t height)
{
    DeepView view;
    view.re = re;
    view.im = im;
    EXPECT_TRUE(ParseScale(scale, view.scale)) << scale;
    view.width = width;
    view.height = height;
    view.limit = limit;
    return view;
}

// Renders the view both ways and checks each against MPFR.
void ExpectMatchesMpfr(const DeepView& view, const char* what)
{
    for (const bool skip : {false, true})
    {
        CDeepRender render;
        render.Prepare(view, skip);
        render.RenderRows();
        const DeepCheckResult result = CheckDeepRender(
            view, [&](uint32_t col, uint32_t row) { return render.At(col, row).steps; }, 2);
        EXPECT_TRUE(result.Passed())
            << what << (skip ? ", skipping: " : ": ") << result.mismatches << " of " << result.samples
            << " differ, largest group " << result.largestCluster;
    }
}

// Period-67 and period-439 mini-sets near c = i, about 6e-50 and 7e-330
// across: their orbits come back near 0 once a period (tiny Z at 1e-330).
const char kMini50Re[] =
    "-0.000000000000000000000000092548672020696111752488853124930680024938317255976883469093047"
    "0728494919091956783281069343990838720953485070762731983743";
const char kMini50Im[] =
    "0.9999999999999999999999998145272747716752853025890810857857534465574779472052571611290156"
    "69757220319301627813344097982907";
const char kMini330Re[] =
    "-1.946848108463622213663002147801183329440197638896132465379933876433450860342594705452676"
    "026504066257996712733065347501315621665462103170268074908464722009993547225135856166970072"
    "079755040791788781650246309931089999464813128337374878741350170684096385134401677076907573"
    "935484967329762531819856570593053003115795082994772542655225468919444790627422783312156846"
    "8273382895405726732997734589677795629659514578490884e-165";
const char kMini330Im[] =
    "1.0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
    "000000000000000000000000000000000000000000000000000000000000000000000000000009714539258670"
    "267649155841083821421865702512417420968467416886686231754567414357311306338439937923264523"
    "793350606625724636895015417734461306489592061458597012033981780053451863110153909414567447"
    "546654562534437832098808608569631390152203346470977";

} // namespace

TEST(DeepRender, MatchesMpfrAroundAMisiurewiczPoint)
{
    // c = i is preperiodic: pixels around it escape at every depth, later
    // the deeper the view. 1e-320 is past a double's exponent.
    ExpectMatchesMpfr(View("0", "1", "1e-30", 3000, 64, 48), "i at 1e-30");
    ExpectMatchesMpfr(View("0", "1", "1e-320", 3000, 64, 48), "i at 1e-320");
}

TEST(DeepRender, MatchesMpfrAroundMiniSets)
{
    ExpectMatchesMpfr(View(kMini50Re, kMini50Im, "2e-49", 3000, 64, 48), "mini-set at 1e-49");
    // Pixels here take 3800 steps and more: a lower limit would leave the
    // view all inside.
    ExpectMatchesMpfr(View(kMini330Re, kMini330Im, "3e-329", 20000, 32, 24), "mini-set at 1e-329");
}

TEST(DeepRender, RebasesWhenTheReferenceEscapesEarly)
{
    // The centre escapes after a few steps; the inside points of the view
    // go on from their full values against the start of the reference.
    DeepView view = View("0.3", "0", "0.2", 400, 64, 48);
    CDeepRender render;
    render.Prepare(view, true);
    EXPECT_LT(render.GetOrbit().Last(), 100u);
    ExpectMatchesMpfr(view, "0.3 at 0.2");
}

TEST(DeepRender, SmoothValueComesFromTheFullValue)
{
    // A shallow view forced through perturbation gives EscapeValue's value
    // up to rounding, pixel for pixel.
    DeepView view = View("-0.75", "0.1", "0.02", 500, 16, 12);
    CDeepRender render;
    render.Prepare(view, true);
    render.RenderRows();
    const double stepRe = 0.02 * (3.0 / 16), stepIm = 0.02 * (2.0 / 12);
    for (uint32_t row = 0; row < 12; ++row)
        for (uint32_t col = 0; col < 16; ++col)
        {
            const double expected = EscapeValue(int32_t(col) - 8, int32_t(row) - 6, 500, -0.75, 0.1, stepRe, stepIm);
            EXPECT_NEAR(render.At(col, row).value, expected, 1e-6) << col << "," << row;
        }
}

TEST(DeepRender, FourLanesDecideAsThePortableLoop)
{
    // Same doubles, same order, same questions: the AVX2 lanes must give
    // the portable loop's steps and values exactly, row ends included.
    if (!SetKernelPath(KernelPath::Avx2))
        GTEST_SKIP() << "no AVX2 here";
    const DeepView views[] = {View("0", "1", "1e-320", 3000, 37, 11), View("0.3", "0", "0.2", 400, 37, 11),
                              View(kMini50Re, kMini50Im, "2e-49", 3000, 37, 11),
                              View("-0.75", "0.1", "0.02", 500, 3, 5),
                              // Long orbits that rebase inside the vectors, onto
                              // a reference that never ends early.
                              View("-0.743643887037151", "0.131825904205330", "1e-5", 2000, 37, 11)};
    for (const DeepView& view : views)
        for (const bool skip : {false, true})
        {
            CDeepRender vector, portable;
            vector.Prepare(view, skip);
            vector.RenderRows();
            ASSERT_TRUE(SetKernelPath(KernelPath::Scalar));
            portable.Prepare(view, skip);
            portable.RenderRows();
            SetKernelPath(KernelPath::Avx2);
            for (uint32_t row = 0; row < view.height; ++row)
                for (uint32_t col = 0; col < view.width; ++col)
                {
                    EXPECT_EQ(vector.At(col, row).steps, portable.At(col, row).steps) << view.re.substr(0, 8) << " " << col << "," << row;
                    EXPECT_EQ(vector.At(col, row).value, portable.At(col, row).value) << view.re.substr(0, 8) << " " << col << "," << row;
                }
        }
}
