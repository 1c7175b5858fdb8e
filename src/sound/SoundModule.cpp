// The entry point the program resolves after loading this module.
#ifdef NIMBREL_HAVE_PULSE
#include "sound/PulseSoundOutput.h"
using Output = PulseSoundOutput;
#else
#include "sound/SoundOutput.h"
using Output = SoundOutput;
#endif

extern "C" Q_DECL_EXPORT SoundSink* nimbrel_create_sound_output()
{
    return new Output;
}
