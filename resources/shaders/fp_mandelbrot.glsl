#version 110
// The Mandelbrot set on the graphics card, in single precision: the same
// escape count, smooth value and palette index as the processor's render,
// for the view the uniforms give. Unit 1 holds the gradient picture, whose
// palette is a row of 1024 entries across the whole texture; unit 0 (the
// render) is not sampled.
uniform sampler2D tex0;
uniform sampler2D tex1;
uniform int maxIteration;
uniform float real;
uniform float imaginary;
uniform float scaleX;
uniform float scaleY;

const float paletteSize = 1024.0;

vec2 Step(vec2 z, vec2 c)
{
    return vec2(z.x * z.x - z.y * z.y, 2.0 * z.x * z.y) + c;
}

void main()
{
    // The window spans scaleX by scaleY around the centre, imaginary up.
    // The processor evaluates a pixel at its lower-left corner, not at its
    // centre where the coordinates are interpolated: step back half a pixel.
    vec2 at = gl_TexCoord[0].st - 0.5 * vec2(dFdx(gl_TexCoord[0].s), dFdy(gl_TexCoord[0].t));
    vec2 c = vec2(real + (at.s - 0.5) * scaleX, imaginary + (at.t - 0.5) * scaleY);
    vec2 z = c;
    int n = 0;
    if (dot(c, c) <= 4.0)
    {
        for (int i = 0; i < maxIteration; ++i)
        {
            n = i + 1;
            z = Step(z, c);
            if (dot(z, z) > 4.0)
                break;
        }
    }

    // Inside takes the first entry, as on the processor.
    float share = 0.0;
    if (n != maxIteration)
    {
        // Two more steps join the bands up smoothly.
        z = Step(Step(z, c), c);
        float value = float(n) + 2.0 - log(log(length(z))) / log(2.0);
        share = value / float(maxIteration);
    }
    float index = clamp(floor(share * paletteSize), 0.0, paletteSize - 1.0);
    vec2 entry = vec2((index + 0.5) / paletteSize, 1.0 - 0.5 / paletteSize);
    gl_FragColor = vec4(texture2D(tex1, entry).rgb, 1.0);
}
