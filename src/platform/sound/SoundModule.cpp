// The entry point the program resolves after loading this module.
#include "platform/sound/SoundOutput.h"

extern "C" Q_DECL_EXPORT SoundSink* nimbrel_create_sound_output()
{
    return new SoundOutput;
}
