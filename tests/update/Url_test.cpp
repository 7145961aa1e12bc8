#include "update/Url.h"

#include <gtest/gtest.h>

using namespace qm;

TEST(UrlParsing, UpdatePageAtTheRoot) {
    const ParsedUrl u = parseUrl("http://quillmark.example/update.html");
    EXPECT_EQ(u.protocol, "http");
    EXPECT_EQ(u.host, "quillmark.example");
    EXPECT_EQ(u.port, "80");
    EXPECT_EQ(u.path, "/");
    EXPECT_EQ(u.document, "update.html");
    EXPECT_EQ(u.requestTarget(), "/update.html");
    EXPECT_EQ(u.hostHeader(), "quillmark.example");
    EXPECT_EQ(u.absoluteTarget(), "http://quillmark.example:80/update.html");
}

TEST(UrlParsing, PortUserParamsAndBookmark) {
    const ParsedUrl u = parseUrl("http://me:pw@host.test:8080/a/b/page.php?x=1/2#top");
    EXPECT_EQ(u.user, "me");
    EXPECT_EQ(u.password, "pw");
    EXPECT_EQ(u.host, "host.test");
    EXPECT_EQ(u.port, "8080");
    EXPECT_EQ(u.path, "/a/b/");
    EXPECT_EQ(u.document, "page.php");
    EXPECT_EQ(u.params, "?x=1/2");
    EXPECT_EQ(u.bookmark, "top");
    EXPECT_EQ(u.hostHeader(), "host.test:8080");
}

TEST(UrlParsing, BookmarkInTheDocumentAndBackslashes) {
    const ParsedUrl u = parseUrl("http:\\\\host.test\\dir\\doc.html#part");
    EXPECT_EQ(u.path, "/dir/");
    EXPECT_EQ(u.document, "doc.html");
    EXPECT_EQ(u.bookmark, "part");
}

TEST(UrlParsing, EmptyUserClearsThePassword) {
    const ParsedUrl u = parseUrl("http://:secret@host.test/");
    EXPECT_EQ(u.user, "");
    EXPECT_EQ(u.password, "");
}

TEST(UrlParsing, DefaultPortsAndOtherProtocols) {
    EXPECT_EQ(parseUrl("HTTPS://host.test/").port, "443");
    EXPECT_EQ(parseUrl("ftp://host.test:21/").port, "21");
    try {
        parseUrl("ftp://host.test/");
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "");
    }
}
