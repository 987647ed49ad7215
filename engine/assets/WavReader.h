// Uncompressed PCM WAV files (format tag 1): the first "data" chunk with the
// format of the "fmt " chunk. Chunks are walked by their lengths, odd ones
// with their pad byte; unknown chunks are skipped.
#pragma once

#include "assets/Sound.h"

class String;

// Samples are null, and the format empty, for a file that cannot be read,
// is larger than 256 MiB, is no RIFF WAVE file, has no PCM "fmt " chunk
// (or one shorter than 16 bytes, or with no channels or bits) or no "data"
// chunk. A "data" chunk that claims more than the file holds gives the whole
// frames that are there.
SoundData ReadWav(const String& path);
