// Narrow/wide conversion: system conversion, byte-wise fallbacks, counts, null input and bounds
// (inputs and destinations end right before a no-access page).
#include <gtest/gtest.h>

#include <string>

#include "GuardedBuffer.h"
#include "ORINAPI_PORTABLE/CPortableWideString.h"
#include "ORINAPI_PORTABLE/TextConversion.h"

namespace {

constexpr uint32_t kInvalidCodePage = 12345;
constexpr uint32_t kWestern = 1252;

std::wstring WStr(const CPortableWideString& s) {
  return std::wstring(s.Text(), s.Length());
}

std::string Str(const CPortableString& s) {
  return std::string(s.Text(), s.Length());
}

struct NarrowDeleter {
  void operator()(char* p) const { ReleaseNarrowText(p); }
};
using NarrowResult = std::unique_ptr<char, NarrowDeleter>;

TEST(WideString, GrowsLikeTheNarrowBufferAndZeroFills) {
  CPortableWideString wide;
  EXPECT_EQ(6, wide.Capacity());
  EXPECT_EQ(0, wide.Length());
  EXPECT_EQ(L'\0', wide.Text()[0]);
  EXPECT_EQ(L'\0', wide.Text()[1]);
  wide.Assign(L"abcd", -1);
  EXPECT_EQ(6, wide.Capacity());
  wide.Assign(L"abcde", -1);
  EXPECT_EQ(12, wide.Capacity());
  wide.Assign(L"xy", 2);
  for (int i = 2; i < wide.Capacity(); ++i) EXPECT_EQ(L'\0', wide.Text()[i]) << i;
  wide.Assign(wide.Text() + 1, 1);  // a piece of its own buffer
  EXPECT_EQ(L"y", WStr(wide));
  CPortableWideString copy(wide);
  copy = copy;
  EXPECT_EQ(L"y", WStr(copy));
  EXPECT_EQ(L"", WStr(CPortableWideString(nullptr)));
}

TEST(NarrowToWide, ConvertsThroughTheCodePageOrWidensBytesAsSigned) {
  CPortableWideString wide;
  NarrowToWide(wide, kWestern, "caf\xE9 \x80", -1);
  EXPECT_EQ(std::wstring(L"caf\x00E9 \x20AC"), WStr(wide));

  NarrowToWide(wide, kInvalidCodePage, "A\x80\xFFz", -1);
  EXPECT_EQ(std::wstring(L"A\xFF80\xFFFFz"), WStr(wide));
  NarrowResult back(WideToNarrowLowBytes(wide.Text(), nullptr, -1));
  ASSERT_TRUE(back);
  EXPECT_STREQ("A\x80\xFFz", back.get());

  NarrowToWide(wide, kWestern, "abcdef", 3);
  EXPECT_EQ(L"abc", WStr(wide));
  NarrowToWide(wide, kWestern, nullptr, -1);
  EXPECT_EQ(L"", WStr(wide));
  NarrowToWide(wide, kWestern, "", -1);
  EXPECT_EQ(L"", WStr(wide));
  NarrowToWide(wide, kWestern, "abc", -7);
  EXPECT_EQ(L"", WStr(wide));
}

TEST(WideToNarrow, ConvertsOrFallsBackToLowBytes) {
  NarrowResult converted(WideToNarrow(kWestern, L"caf\x00E9", nullptr, -1));
  EXPECT_STREQ("caf\xE9", converted.get());
  NarrowResult fallback(WideToNarrow(kInvalidCodePage, L"\xFF80x\x0141", nullptr, -1));
  EXPECT_STREQ("\x80x\x41", fallback.get());
  NarrowResult shortened(WideToNarrow(kWestern, L"abcdef", nullptr, 3));
  EXPECT_STREQ("abc", shortened.get());

  char destination[16] = "xxxxxxxxxxxxxxx";
  EXPECT_EQ(destination, WideToNarrow(kWestern, L"ok", destination, -1));
  EXPECT_STREQ("ok", destination);
  EXPECT_EQ(destination, WideToNarrowLowBytes(L"\x0141\x0142", destination, 1));
  EXPECT_STREQ("\x41", destination);
}

TEST(WideToString, UsesTheSystemDefaultCharacterForWhatTheCodePageCannotShow) {
  CPortableString out("previous");
  WideToString(out, kWestern, L"a\x4E00z", -1);
  EXPECT_EQ("a?z", Str(out));
  WideToString(out, kWestern, L"abcdef", 2);
  EXPECT_EQ("ab", Str(out));
  WideToString(out, kInvalidCodePage, L"\x0158x", -1);
  EXPECT_EQ("\x58x", Str(out));
}

TEST(TextConversionBadInput, NullGivesNullOrTheEmptyText) {
  EXPECT_EQ(nullptr, WideToNarrow(kWestern, nullptr, nullptr, -1));
  EXPECT_EQ(nullptr, WideToNarrowLowBytes(nullptr, nullptr, -1));
  EXPECT_EQ(nullptr, CopyText(nullptr, nullptr, -1));
  EXPECT_EQ(nullptr, CopyWideText(nullptr, nullptr, -1));
  CPortableString out("previous");
  WideToString(out, kWestern, nullptr, -1);
  EXPECT_EQ("", Str(out));
  WideToString(out, kWestern, nullptr, 5);
  EXPECT_EQ("", Str(out));
  CPortableWideString wide;
  NarrowToWideAnsi(wide, nullptr);
  EXPECT_EQ(L"", WStr(wide));
  ReleaseNarrowText(nullptr);
  ReleaseWideText(nullptr);
}

TEST(TextConversionBounds, CountsLargerThanTheTextReadNothingBeyondIt) {
  // A 20-unit text at the edge of a no-access page, asked for with count 1040.
  const std::wstring twenty = L"twenty units of text";
  ASSERT_EQ(20u, twenty.size());
  testsupport::GuardedText<wchar_t> wide(twenty.c_str(), twenty.size());
  ASSERT_TRUE(wide.Valid());
  NarrowResult converted(WideToNarrow(kWestern, wide.Get(), nullptr, 1040));
  EXPECT_STREQ("twenty units of text", converted.get());
  // The destination holds exactly the 20 bytes and the terminator.
  testsupport::GuardedBuffer destination(21);
  char* out = reinterpret_cast<char*>(destination.Data());
  EXPECT_EQ(out, WideToNarrow(kWestern, wide.Get(), out, 1040));
  EXPECT_STREQ("twenty units of text", out);
  EXPECT_EQ(out, WideToNarrowLowBytes(wide.Get(), out, 1040));
  EXPECT_EQ(out, WideToNarrow(kInvalidCodePage, wide.Get(), out, 1040));
  EXPECT_STREQ("twenty units of text", out);
  CPortableString narrow;
  WideToString(narrow, kWestern, wide.Get(), 1040);
  EXPECT_EQ("twenty units of text", Str(narrow));

  testsupport::GuardedText<char> text("abc", 3);
  CPortableWideString widened;
  NarrowToWide(widened, kWestern, text.Get(), 1040);
  EXPECT_EQ(L"abc", WStr(widened));
  NarrowToWide(widened, kInvalidCodePage, text.Get(), 1040);
  EXPECT_EQ(L"abc", WStr(widened));
  NarrowResult copy(CopyText(text.Get(), nullptr, 1040));
  EXPECT_STREQ("abc", copy.get());
  testsupport::GuardedBuffer copyDestination(4);
  EXPECT_STREQ("abc", CopyText(text.Get(), reinterpret_cast<char*>(copyDestination.Data()), -1));
  wchar_t* wideCopy = CopyWideText(wide.Get(), nullptr, 4);
  EXPECT_EQ(std::wstring(L"twen"), wideCopy);
  ReleaseWideText(wideCopy);
}

TEST(TextConversionBounds, HundredThousandCharacterTextsRoundTrip) {
  std::string longText(100000, 'a');
  for (size_t i = 0; i < longText.size(); i += 7) longText[i] = '\xE9';
  testsupport::GuardedText<char> text(longText.data(), longText.size());
  CPortableWideString wide;
  NarrowToWide(wide, kWestern, text.Get(), -1);
  ASSERT_EQ(100000, wide.Length());
  testsupport::GuardedText<wchar_t> guardedWide(wide.Text(), wide.Length());
  CPortableString back;
  WideToString(back, kWestern, guardedWide.Get(), -1);
  EXPECT_TRUE(Str(back) == longText);
  NarrowResult copy(CopyText(text.Get(), nullptr, -1));
  EXPECT_EQ(longText.size(), strlen(copy.get()));
}

}  // namespace
