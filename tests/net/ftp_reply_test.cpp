#include "net/ftp_exception.h"
#include "net/ftp_reply.h"
#include "net/nth_word.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

TEST(ReplyCode, LeadingDigitsGiveTheCode) {
    EXPECT_EQ(replyCode("230 Logged in"), 230);
    EXPECT_EQ(replyCode("230-Welcome"), 230);
    EXPECT_EQ(replyCode("Welcome"), 0);
    EXPECT_EQ(replyCode(""), 0);
    // A 16-bit code would wrap 65736 round to 200, a success.
    EXPECT_EQ(replyCode("65736 junk"), 65736);
    EXPECT_EQ(replyCode("99999999999999999999"), 2147483647);
}

TEST(ReplyReader, SingleLineReplyIsCompleteAtOnce) {
    FtpReplyReader reader;
    EXPECT_TRUE(reader.addLine("200 OK"));
    EXPECT_EQ(reader.code(), 200);
}

TEST(ReplyReader, MultiLineReplyEndsAtItsCodeAndASpace) {
    FtpReplyReader reader;
    EXPECT_FALSE(reader.addLine("230-Welcome"));
    EXPECT_FALSE(reader.addLine("This line neither starts with a space nor has a dash"));
    EXPECT_FALSE(reader.addLine(" indented"));
    EXPECT_FALSE(reader.addLine("230-still going"));
    EXPECT_FALSE(reader.addLine("2301 not the end"));
    EXPECT_TRUE(reader.addLine("230 Logged in"));
    EXPECT_EQ(reader.code(), 230);
    EXPECT_EQ(reader.lines().front(), "230-Welcome");
    EXPECT_EQ(reader.lines().size(), 6u);
}

TEST(ReplyReader, TooManyContinuationLinesAreRefused) {
    FtpReplyReader reader;
    reader.addLine("211-Features");
    for (std::size_t i = 0; i < kMaxReplyContinuationLines; ++i)
        ASSERT_FALSE(reader.addLine(" line"));
    EXPECT_THROW(reader.addLine(" one too many"), FTPException);
}

TEST(PassiveReply, PortComesFromTheLastTwoFields) {
    int port = 0;
    ASSERT_TRUE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,19,137)", port));
    EXPECT_EQ(port, 5001);
    ASSERT_TRUE(parsePassiveReply("227 Entering Passive Mode 127,0,0,1,4,1", port));
    EXPECT_EQ(port, 1025);
    ASSERT_TRUE(parsePassiveReply("227 =127,0,0,1,0,21", port));
    EXPECT_EQ(port, 21);
}

TEST(PassiveReply, MalformedRepliesAreRejected) {
    int port = 0;
    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,256,137)", port));
    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,0,0)", port));
    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,19)", port));
    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode (10,0,0,5,19,1370)", port));
    EXPECT_FALSE(parsePassiveReply("227 Entering Passive Mode (a,b,c,d,e,f)", port));
    EXPECT_FALSE(parsePassiveReply("227", port));
    EXPECT_FALSE(parsePassiveReply("", port));
}

TEST(ByteCount, NumberBeforeTheWordBytes) {
    EXPECT_EQ(byteCountFromReply("150 Opening BINARY mode data connection for a.txt (1234 bytes)"), 1234u);
    EXPECT_EQ(byteCountFromReply("150 Opening data connection for a.txt (1234 BYTES)"), 1234u);
    EXPECT_EQ(byteCountFromReply("150 File status okay. About to open data connection."), 0u);
    EXPECT_EQ(byteCountFromReply("150 bytes"), 150u);
    EXPECT_EQ(byteCountFromReply("bytes 150"), 0u);
    EXPECT_EQ(byteCountFromReply("150 (99999999999999999999999 bytes)"), 0u);
}

TEST(QuotedPath, PwdReplyGivesTheQuotedDirectory) {
    EXPECT_EQ(quotedPath("257 \"/home/user\" is the current directory"), "/home/user");
    EXPECT_EQ(quotedPath("257 \"/a \"\"quoted\"\" dir\" is current"), "/a \"quoted\" dir");
    EXPECT_EQ(quotedPath("257 no quotes"), "");
    EXPECT_EQ(quotedPath("257 \"/unterminated"), "/unterminated");
}

TEST(CommandText, LineBreaksAndNulAreRefused) {
    EXPECT_NO_THROW(checkCommandText("RETR my file.txt"));
    EXPECT_THROW(checkCommandText("RETR a\r\nDELE b"), FTPException);
    EXPECT_THROW(checkCommandText("a\nb"), FTPException);
    EXPECT_THROW(checkCommandText(std::string("a\0b", 3)), FTPException);
}

TEST(NthWord, FieldsBetweenDelimiters) {
    EXPECT_EQ(NthWord("a,b,,c", ',', 4), "c");
    EXPECT_EQ(NthWord("a,b,,c", ',', 3), "");
    EXPECT_EQ(NthWord("a,b,,c", ',', 1), "a");
    EXPECT_EQ(NthWord("a,b,,c", ',', 5), "");
    EXPECT_EQ(NthWord("", ',', 1), "");
    EXPECT_EQ(NthWord("abc", ',', 1), "abc");
}

} // namespace
} // namespace qorvi
