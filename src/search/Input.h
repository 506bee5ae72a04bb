#pragma once
// Standard input for every protocol reader. Bytes are read from descriptor 0 into one internal
// buffer, so a pending-input test can never miss data sitting unseen in a stdio buffer.

// True when a command may be read without waiting: something other than blanks is buffered, bytes
// are waiting on the descriptor, or the input has ended.
bool InputPending();
// Skips whitespace (blank, tab, CR, LF, ...), then reads one word up to the next whitespace, which
// stays unread. At most size - 1 characters are kept (a longer word is cut, the rest of it consumed);
// buf is always terminated. Returns the kept length, or -1 when the input ends before a word.
int ReadWord(char* buf, int size);
// Reads up to and including the next newline; keeps at most size - 1 characters without the
// newline and without carriage returns. Returns the kept length, or -1 at the end of input.
int ReadLine(char* buf, int size);
// True when the line ReadLine read last had more characters than it could keep.
bool LastLineWasCut();
// Drops what is left of the current line, as far as it has arrived, without blocking.
void DiscardPendingLine();
// True once a read has met the end of input.
bool InputClosed();
