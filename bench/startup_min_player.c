/* The floor for bench_startup: the least a player must do before its first
 * byte goes out. It reads the song, checks its header, opens the capture
 * file and writes the all-off group of every channel in the capture port's
 * format ("<microseconds> <hex byte>" a line), then ends. Plain C on libc
 * alone, so its start-up is the loader's and the kernel's minimum.
 *
 * Usage: startup_min_player CAPTURE_FILE SONG.mid */

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fputs("Usage: startup_min_player CAPTURE_FILE SONG.mid\n", stderr);
        return 2;
    }
    FILE* song = fopen(argv[2], "rb");
    if (!song) {
        perror(argv[2]);
        return 1;
    }
    static unsigned char bytes[1 << 20];
    size_t size = fread(bytes, 1, sizeof bytes, song);
    fclose(song);
    if (size < 14 || memcmp(bytes, "MThd", 4) != 0) {
        fprintf(stderr, "%s: not a Standard MIDI File\n", argv[2]);
        return 1;
    }
    FILE* out = fopen(argv[1], "w");
    if (!out) {
        perror(argv[1]);
        return 1;
    }
    for (int channel = 0; channel < 16; ++channel) {
        const unsigned char group[9] = { 0xB0 + channel, 120, 0, 0xB0 + channel, 121, 0, 0xB0 + channel, 123, 0 };
        for (int i = 0; i < 9; ++i) {
            fprintf(out, "0 %02X\n", group[i]);
            fflush(out);
        }
    }
    fclose(out);
    return 0;
}
