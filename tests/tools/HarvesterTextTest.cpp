// The harvester's download texts: manifest strings, file names, retry lines.
#include <gtest/gtest.h>

#include <string>

#include "tools/zunbarra-cli/DownloadManifest.h"
#include "tools/zunbarra-cli/DownloadName.h"
#include "tools/zunbarra-cli/RetryMessage.h"

namespace zb {
namespace {

TEST(HarvesterText, JsonStringOfAnyBytes) {
    const struct {
        std::string bytes;
        std::string json;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\n\r\t\x01\x7f", "\"\\n\\r\\t\\u0001\\u007f\""},
        {"猫", "\"猫\""},
        {"\x82\xa0", "\"\\u0082\\u00a0\""},             // Shift_JIS bytes are no UTF-8
        {"\xe7\x8c", "\"\\u00e7\\u008c\""},             // a cut sequence
        {"\xc0\xaf", "\"\\u00c0\\u00af\""},             // an overlong form
        {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},  // a surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(JsonString(c.bytes), c.json) << c.bytes;
}

TEST(HarvesterText, FileIdFromTheTbnKeyElseFromTheHash) {
    EXPECT_EQ(ThumbnailFileId("http://h:1/images?q=tbn:ZB2pq_Ti-m9"), "ZB2pq_Ti-m9");
    EXPECT_EQ(ThumbnailFileId("http://h/images?q=tbn:abc&x=1"), "abc");
    // Names that could leave the folder are hashed too.
    EXPECT_EQ(ThumbnailFileId("http://h/x.png"), Sha256Hex("http://h/x.png").substr(0, 16));
    EXPECT_EQ(ThumbnailFileId("http://h/?q=tbn:../../etc"),
              Sha256Hex("http://h/?q=tbn:../../etc").substr(0, 16));
    EXPECT_EQ(ThumbnailFileId("http://h/?q=tbn:"), Sha256Hex("http://h/?q=tbn:").substr(0, 16));
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(HarvesterText, RetryLine) {
    EXPECT_EQ(RetryMessage("HTTP 503, Retry-After 2", 2000, 1, 3, "http://h/a"),
              "HTTP 503, Retry-After 2: waiting 2 s before retry 1 of 3 (http://h/a)");
    EXPECT_EQ(RetryMessage("HTTP 429", 1500, 2, 2, "http://h/a"),
              "HTTP 429: waiting 1.5 s before retry 2 of 2 (http://h/a)");
}

}  // namespace
}  // namespace zb
