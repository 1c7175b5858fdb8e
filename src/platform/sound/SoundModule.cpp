// The entry point the program resolves after loading this module.
#include "platform/sound/PulseSamples.h"

extern "C" Q_DECL_EXPORT SoundSink* nimbrel_create_sound_output()
{
    return new PulseSampleOutput;
}
