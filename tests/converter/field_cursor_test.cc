// Tests of the field cursor: empty fields kept, nothing after the last.
#include "converter/field_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> cut(const std::string& text) {
  FieldCursor cursor;
  start_fields(&cursor, text.data(), text.data() + text.size());
  std::vector<std::string> fields;
  FieldText field;
  while (next_field(&cursor, ',', &field)) {
    fields.emplace_back(field.begin, field.end);
  }
  // Once exhausted, the cursor stays exhausted.
  EXPECT_FALSE(next_field(&cursor, ',', &field));
  return fields;
}

struct CutCase {
  const char* text;
  std::vector<std::string> fields;
};

const CutCase CUT_CASES[] = {
    {"5,2014,145,1230,-7", {"5", "2014", "145", "1230", "-7"}},
    {",,", {"", "", ""}},
    {"1,,3", {"1", "", "3"}},
    {"no delimiter", {"no delimiter"}},
    {"", {""}},
    {"a,", {"a", ""}},
    {" a , b ", {" a ", " b "}},
};

TEST(FieldCursor, NextField) {
  for (const CutCase& c : CUT_CASES) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cut(c.text), c.fields);
  }
}

struct TakeCase {
  const char* text;
  int32_t skip;   // fields taken one by one first
  int32_t count;  // then this many as a span
  int32_t taken;
  const char* span;
  const char* rest;  // the next field after the span, or null for none
};

// Spans long enough to cross several eight-byte words, with the wanted
// comma on each side of a word boundary.
const TakeCase TAKE_CASES[] = {
    {"a,b,c,d", 0, 2, 2, "a,b", "c"},
    {"a,b,c,d", 1, 3, 3, "b,c,d", nullptr},
    {"a,b,c,d", 1, 5, 3, "b,c,d", nullptr},
    {"a,b", 2, 3, 0, "", nullptr},
    {"a,b", 0, 0, 0, "", "a"},
    {"1234567,9,x", 0, 1, 1, "1234567", "9"},
    {"12345678,9,x", 0, 1, 1, "12345678", "9"},
    {"1234567,90123456,,x", 0, 3, 3, "1234567,90123456,", "x"},
    {",,,,,,,,,,,,,,,,,", 0, 16, 16, ",,,,,,,,,,,,,,,", ""},
    {"-7,21.53,101.325,22.10,45.0,1.1,2.2,3.3,4.4,5.5,6.6,12.6,13.0", 0, 11, 11,
     "-7,21.53,101.325,22.10,45.0,1.1,2.2,3.3,4.4,5.5,6.6", "12.6"},
};

TEST(FieldCursor, TakeFields) {
  for (const TakeCase& c : TAKE_CASES) {
    SCOPED_TRACE(testing::Message()
                 << c.text << " skip " << c.skip << " count " << c.count);
    const std::string text = c.text;
    FieldCursor cursor;
    start_fields(&cursor, text.data(), text.data() + text.size());
    FieldText field;
    for (int32_t i = 0; i < c.skip; ++i) {
      ASSERT_TRUE(next_field(&cursor, ',', &field));
    }
    FieldText span;
    EXPECT_EQ(take_fields(&cursor, ',', c.count, &span), c.taken);
    EXPECT_EQ(std::string(span.begin, span.end), c.span);
    if (c.rest == nullptr) {
      EXPECT_FALSE(next_field(&cursor, ',', &field));
    } else {
      ASSERT_TRUE(next_field(&cursor, ',', &field));
      EXPECT_EQ(std::string(field.begin, field.end), c.rest);
    }
  }
}

// Every position of the wanted comma in a long line, against a plain count.
TEST(FieldCursor, TakeFieldsMatchesByteCount) {
  const std::string text = "ab,c,,defghij,k,lmnopqrstu,v,,,wxyz0123456789,end";
  for (int32_t count = 1; count <= 14; ++count) {
    SCOPED_TRACE(count);
    int32_t commas = 0;
    size_t end = text.size();
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ',' && ++commas == count) {
        end = i;
        break;
      }
    }
    FieldCursor cursor;
    start_fields(&cursor, text.data(), text.data() + text.size());
    FieldText span;
    const int32_t taken = take_fields(&cursor, ',', count, &span);
    EXPECT_EQ(std::string(span.begin, span.end), text.substr(0, end));
    EXPECT_EQ(taken, end == text.size() ? commas + 1 : count);
  }
}

}  // namespace
