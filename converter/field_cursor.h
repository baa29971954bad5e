// Field cursor: cuts a line at a delimiter, keeping empty fields.
#ifndef FERROW_CONVERTER_FIELD_CURSOR_H
#define FERROW_CONVERTER_FIELD_CURSOR_H

#include <cstdint>

// A run of bytes [begin, end) inside a line; never terminated, never owned.
struct FieldText {
  const char* begin;
  const char* end;
};

// Where the next field of a line starts; next is null once the last field
// has been taken.
struct FieldCursor {
  const char* next;
  const char* end;
};

// Starts cutting the text [begin, end). An empty text holds one empty field.
void start_fields(FieldCursor* cursor, const char* begin, const char* end);

// Takes the next field into *field; false when the line has no more fields.
bool next_field(FieldCursor* cursor, char delimiter, FieldText* field);

// Takes up to count fields as one span (the delimiters between them
// included) and returns how many it took; 0 leaves *span empty.
int32_t take_fields(FieldCursor* cursor, char delimiter, int32_t count,
                    FieldText* span);

#endif
