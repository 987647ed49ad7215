// OpenGL entry points loaded at run time, the fixed GL state every frame
// relies on, and the capability record drawables and shader programs consult.
// Call only on the thread whose GL context is current.
#pragma once

#include <cstdint>

#include <GL/gl.h>

#include "core/String.h"

// One pointer per entry point, null until loaded; once loaded never cleared.
// The shader entry points carry their OpenGL 2.0 names.
struct GLEntryPoints
{
    PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;

    PFNGLBINDBUFFERARBPROC glBindBufferARB = nullptr;
    PFNGLGENBUFFERSARBPROC glGenBuffersARB = nullptr;
    PFNGLBUFFERDATAARBPROC glBufferDataARB = nullptr;
    PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB = nullptr;

    PFNGLCREATESHADERPROC glCreateShader = nullptr;
    PFNGLSHADERSOURCEPROC glShaderSource = nullptr;
    PFNGLCOMPILESHADERPROC glCompileShader = nullptr;
    PFNGLCREATEPROGRAMPROC glCreateProgram = nullptr;
    PFNGLATTACHSHADERPROC glAttachShader = nullptr;
    PFNGLLINKPROGRAMPROC glLinkProgram = nullptr;
    PFNGLUSEPROGRAMPROC glUseProgram = nullptr;
    PFNGLDETACHSHADERPROC glDetachShader = nullptr;
    PFNGLDELETESHADERPROC glDeleteShader = nullptr;
    PFNGLDELETEPROGRAMPROC glDeleteProgram = nullptr;
    PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation = nullptr;
    PFNGLUNIFORM1IVPROC glUniform1iv = nullptr;
    PFNGLUNIFORM2IVPROC glUniform2iv = nullptr;
    PFNGLUNIFORM3IVPROC glUniform3iv = nullptr;
    PFNGLUNIFORM4IVPROC glUniform4iv = nullptr;
    PFNGLUNIFORM1FVPROC glUniform1fv = nullptr;
    PFNGLUNIFORM2FVPROC glUniform2fv = nullptr;
    PFNGLUNIFORM3FVPROC glUniform3fv = nullptr;
    PFNGLUNIFORM4FVPROC glUniform4fv = nullptr;
    PFNGLUNIFORMMATRIX2FVPROC glUniformMatrix2fv = nullptr;
    PFNGLUNIFORMMATRIX3FVPROC glUniformMatrix3fv = nullptr;
    PFNGLUNIFORMMATRIX4FVPROC glUniformMatrix4fv = nullptr;
    PFNGLGETSHADERINFOLOGPROC glGetShaderInfoLog = nullptr;
    PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog = nullptr;
};

// Written by InitGLState; all false and 0 before it.
struct GLCapabilities
{
    bool multitexture = false;
    bool vertexBufferObject = false;
    bool vertexShader = false;
    bool fragmentShader = false;
    int32_t textureUnits = 0;
};

const GLEntryPoints& GetGLEntryPoints();
const GLCapabilities& GetGLCapabilities();

// Multitexture and buffer objects count as usable when their entry points
// exist; a shader extension when its entry points exist and the extension
// string names it; any other name when the extension string contains it.
// "WGL_ARB_extensions_string" means nothing on this platform: always false.
bool LoadExtension(const String& name);

// Sets the fixed state (grey clear colour, smooth shading, depth test with
// LEQUAL, normalize, lighting, vertex/texture-coordinate/normal arrays on),
// fills the capability record and returns the texture unit count.
int InitGLState();

// The context's extension string; empty, never null, without a context.
const char* GetGLExtensions();

bool QueryMultitexture();
bool QueryVertexBufferObject();
bool QueryVertexShader();
bool QueryFragmentShader();
