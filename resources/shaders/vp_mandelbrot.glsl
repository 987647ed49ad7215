#version 110
// The view quad of the shader view: positions through the fixed-function
// matrices, and unit 0's coordinates, 0 to 1 across the window, on to the
// fragment stage.
void main()
{
    gl_TexCoord[0] = gl_TextureMatrix[0] * gl_MultiTexCoord0;
    gl_Position = ftransform();
}
