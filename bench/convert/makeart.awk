# Writes ANSI art of WIDTH visible columns and ROWS lines: runs of GB2312 characters and blanks in
# changing colours, in the ESC and "*[" notations, every line ending in a reset, as BBS art does.
BEGIN {
    srand(7);
    for (r = 0; r < ROWS; r++) {
        line = ""; col = 0;
        while (col < WIDTH) {
            intro = (rand() < 0.5) ? "\033[" : "*[";
            line = line intro (rand() < 0.3 ? "1;" : "") (30 + int(rand() * 8)) ";" (40 + int(rand() * 8)) "m";
            run = 2 + 2 * int(rand() * 6);
            for (i = 0; i < run && col < WIDTH; i += 2) {
                if (rand() < 0.7) { line = line sprintf("%c%c", 176 + int(rand() * 40), 161 + int(rand() * 90)); }
                else { line = line "  "; }
                col += 2;
            }
        }
        printf "%s\033[m\r\n", line;
    }
}
