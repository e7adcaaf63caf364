#pragma once

// alsa-lib prints its own complaints (no sound card, no /dev/snd/seq) to
// standard error, beside the program's messages that already say what
// failed and why. Silences them for the rest of the process.
void SilenceAlsaMessages();
