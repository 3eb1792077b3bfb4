#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pdf/PellarConvert.h"
#include "security/PellarAES.h"
#include "security/PellarHash.h"
#include "security/PellarPassword.h"
#include "security/PellarSecurity.h"
#include "tests/support/EncryptedPdf.h"
#include "tests/support/Fixtures.h"
#include "tests/support/RawPdfReader.h"

namespace {

using THandler = TPDFSecurityHandler;

// A supported dictionary of each kind; the tests change single entries.
TPDFEncryptDictionary BaseDictionary(int v) {
  TPDFEncryptDictionary d;
  d.Present = d.IsDictionary = true;
  d.RefNumber = 7;
  d.Filter = "Standard";
  d.V = v;
  d.R = v == 1 ? 2 : v == 2 ? 3 : v == 4 ? 4 : 6;
  d.P = -4;
  d.O = std::string(v == 5 ? 48 : 32, 'o');
  d.U = std::string(v == 5 ? 48 : 32, 'u');
  d.OE = d.UE = std::string(32, 'k');
  d.Perms = std::string(16, 'p');
  d.FileId = std::string(16, 'i');
  if (v == 2) {
    d.HasLength = true;
    d.Length = 128;
  }
  if (v >= 4) {
    d.StmF = d.StrF = "StdCF";
    d.HasStdCF = true;
    d.StdCFMethod = v == 4 ? "AESV2" : "AESV3";
    d.HasStdCFLength = true;
    d.StdCFLength = v == 4 ? 16 : 32;
  }
  return d;
}

struct TAcceptanceCase {
  const char* Name;
  TPDFEncryptDictionary Dictionary;
  TPDFEncryptionState State;
  int KeyBits;
  TPDFCryptMethod Method;
};

TPDFEncryptDictionary Changed(TPDFEncryptDictionary d, void (*change)(TPDFEncryptDictionary&)) {
  change(d);
  return d;
}

TEST(PellarSecurity, AcceptanceOfDictionaries) {
  const TAcceptanceCase cases[] = {
      {"no /Encrypt", TPDFEncryptDictionary(), THandler::NotEncrypted, 0, {}},
      {"V 1", BaseDictionary(1), THandler::Supported, 40, THandler::MethodRC4Revision2},
      {"V 2, /Length 128", BaseDictionary(2), THandler::Supported, 128, THandler::MethodRC4Revision3},
      {"V 2, /Length 56", Changed(BaseDictionary(2), [](auto& d) { d.Length = 56; }), THandler::Supported, 56,
       THandler::MethodRC4Revision3},
      {"V 2 without /Length", Changed(BaseDictionary(2), [](auto& d) { d.HasLength = false; }),
       THandler::Supported, 40, THandler::MethodRC4Revision3},
      {"V 4 AESV2", BaseDictionary(4), THandler::Supported, 128, THandler::MethodAES128},
      {"V 4 AESV2, strings in clear", Changed(BaseDictionary(4), [](auto& d) { d.StrF = "Identity"; }),
       THandler::Supported, 128, THandler::MethodAES128},
      {"V 4 AESV2, crypt filter /Length 4096 (the method fixes the key)",
       Changed(BaseDictionary(4), [](auto& d) { d.StdCFLength = 4096; }), THandler::Supported, 128,
       THandler::MethodAES128},
      {"V 4 V2, /Length 16 bytes", Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "V2"; }),
       THandler::Supported, 128, THandler::MethodRC4Revision3},
      {"V 4 V2, /Length 128 bits",
       Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "V2", d.StdCFLength = 128; }), THandler::Supported,
       128, THandler::MethodRC4Revision3},
      {"V 4 V2, /Length 5 bytes", Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "V2", d.StdCFLength = 5; }),
       THandler::Supported, 40, THandler::MethodRC4Revision3},
      // Key lengths no reading explains: bytes where they can be, else 128 bits.
      {"V 2 /Length 16 bytes", Changed(BaseDictionary(2), [](auto& d) { d.Length = 16; }), THandler::Supported, 128,
       THandler::MethodRC4Revision3},
      {"V 2 /Length 7 bytes", Changed(BaseDictionary(2), [](auto& d) { d.Length = 7; }), THandler::Supported, 56,
       THandler::MethodRC4Revision3},
      {"V 2 /Length 0", Changed(BaseDictionary(2), [](auto& d) { d.Length = 0; }), THandler::Supported, 128,
       THandler::MethodRC4Revision3},
      {"V 2 /Length 4096", Changed(BaseDictionary(2), [](auto& d) { d.Length = 4096; }), THandler::Supported, 128,
       THandler::MethodRC4Revision3},
      {"V 2 /Length 44", Changed(BaseDictionary(2), [](auto& d) { d.Length = 44; }), THandler::Supported, 128,
       THandler::MethodRC4Revision3},
      {"V 2 /Length -128", Changed(BaseDictionary(2), [](auto& d) { d.Length = -128; }), THandler::Supported, 128,
       THandler::MethodRC4Revision3},
      {"V 4 V2 /Length 0", Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "V2", d.StdCFLength = 0; }),
       THandler::Supported, 128, THandler::MethodRC4Revision3},
      {"V 4 V2 /Length 4096",
       Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "V2", d.StdCFLength = 4096; }), THandler::Supported,
       128, THandler::MethodRC4Revision3},
      {"V 5 R 6", BaseDictionary(5), THandler::Supported, 256, THandler::MethodAES256},
      {"V 5 R 5", Changed(BaseDictionary(5), [](auto& d) { d.R = 5; }), THandler::Supported, 256,
       THandler::MethodAES256},
      // Not supported.
      {"/Encrypt not a dictionary", Changed(BaseDictionary(1), [](auto& d) { d.IsDictionary = false; }),
       THandler::Unsupported, 0, {}},
      {"other handler", Changed(BaseDictionary(4), [](auto& d) { d.Filter = "Adobe.PubSec"; }),
       THandler::Unsupported, 0, {}},
      {"no /Filter", Changed(BaseDictionary(1), [](auto& d) { d.Filter.clear(); }), THandler::Unsupported, 0, {}},
      {"V 3", Changed(BaseDictionary(2), [](auto& d) { d.V = 3; }), THandler::Unsupported, 0, {}},
      {"V 0", Changed(BaseDictionary(1), [](auto& d) { d.V = 0; }), THandler::Unsupported, 0, {}},
      {"V 1 R 4", Changed(BaseDictionary(1), [](auto& d) { d.R = 4; }), THandler::Unsupported, 0, {}},
      {"V 4 R 3", Changed(BaseDictionary(4), [](auto& d) { d.R = 3; }), THandler::Unsupported, 0, {}},
      {"V 4 /StmF /MyCF", Changed(BaseDictionary(4), [](auto& d) { d.StmF = "MyCF"; }), THandler::Unsupported, 0,
       {}},
      {"V 4 without /StdCF", Changed(BaseDictionary(4), [](auto& d) { d.HasStdCF = false; }),
       THandler::Unsupported, 0, {}},
      {"V 4 /CFM /None", Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "None"; }),
       THandler::Unsupported, 0, {}},
      {"V 4 AESV3", Changed(BaseDictionary(4), [](auto& d) { d.StdCFMethod = "AESV3"; }), THandler::Unsupported, 0,
       {}},
      {"V 5 AESV2", Changed(BaseDictionary(5), [](auto& d) { d.StdCFMethod = "AESV2"; }), THandler::Unsupported, 0,
       {}},
      {"V 5 R 4", Changed(BaseDictionary(5), [](auto& d) { d.R = 4; }), THandler::Unsupported, 0, {}},
  };
  for (const TAcceptanceCase& c : cases) {
    THandler handler;
    handler.Examine(c.Dictionary);
    EXPECT_EQ(handler.EncryptionState(), c.State) << c.Name;
    if (c.State != THandler::Supported) continue;
    EXPECT_EQ(handler.State().KeyBits, c.KeyBits) << c.Name;
    EXPECT_EQ(handler.State().Method, c.Method) << c.Name;
    EXPECT_EQ(handler.State().Version, c.Dictionary.V) << c.Name;
    EXPECT_EQ(handler.State().Revision, c.Dictionary.R) << c.Name;
  }
}

TEST(PellarSecurity, PasswordsWithoutAnUsableDictionary) {
  THandler plain;
  plain.Examine(TPDFEncryptDictionary());
  EXPECT_TRUE(plain.CheckPassword(u""));
  EXPECT_FALSE(plain.CheckPassword(u"secret"));
  EXPECT_FALSE(plain.IsUnlocked());
  EXPECT_EQ(plain.ObjectKey(1, 0), "");

  // An unsupported dictionary, or one whose entries are missing or short, accepts
  // no password, the empty one included.
  const TPDFEncryptDictionary broken[] = {
      Changed(BaseDictionary(4), [](auto& d) { d.StrF = "MyCF"; }),
      Changed(BaseDictionary(1), [](auto& d) { d.O.clear(), d.U.clear(); }),
      Changed(BaseDictionary(2), [](auto& d) { d.U = "short"; }),
      Changed(BaseDictionary(4), [](auto& d) { d.O.clear(), d.U.clear(), d.FileId.clear(); }),
      Changed(BaseDictionary(5), [](auto& d) { d.O.clear(), d.U.clear(), d.OE.clear(), d.UE.clear(); }),
      Changed(BaseDictionary(5), [](auto& d) { d.R = 5, d.U = d.U.substr(0, 40); }),
  };
  for (const TPDFEncryptDictionary& d : broken) {
    THandler handler;
    handler.Examine(d);
    for (const std::u16string password : {u"", u"owner", u"user"}) {
      EXPECT_FALSE(handler.CheckPassword(password));
      EXPECT_FALSE(handler.IsUnlocked());
      EXPECT_EQ(handler.State().FileKey, "");
      EXPECT_EQ(handler.ObjectKey(1, 0), "");
    }
  }
}

TEST(PellarSecurity, ExaminesOnceUntilReset) {
  THandler handler;
  handler.Examine(BaseDictionary(4));
  handler.Examine(TPDFEncryptDictionary());
  EXPECT_EQ(handler.EncryptionState(), THandler::Supported);
  handler.Reset();
  EXPECT_FALSE(handler.State().Examined);
  handler.Examine(TPDFEncryptDictionary());
  EXPECT_EQ(handler.EncryptionState(), THandler::NotEncrypted);
}

// ---- Documents encrypted by qpdf and Ghostscript (tests/fixtures/security) ----

struct TSample {
  TRawPdfReader Reader;
  TPDFEncryptDictionary Dictionary;
  explicit TSample(const std::string& bytes) : Reader(bytes), Dictionary(Reader.EncryptDictionary()) {}

  int32_t SecretNumber() const { return ReferenceNumber(Reader.Find({"Secret"})); }
  int32_t ContentNumber() const { return ReferenceNumber(Reader.Find({"Root", "Pages", "Kids", "0", "Contents"})); }
  std::string DecryptedSecret(const THandler& handler) const {
    int32_t n = SecretNumber();
    return handler.DecryptBytes(handler.ObjectKey(n, Reader.Generation(n)), StringValue(Reader.Object(n)));
  }
  std::string DecryptedContent(const THandler& handler) const {
    int32_t n = ContentNumber();
    return handler.DecryptBytes(handler.ObjectKey(n, Reader.Generation(n)), Reader.StreamData(n));
  }
};

struct TQpdfCase {
  const char* Name;
  const char* File;  // in tests/fixtures/security
  std::u16string User, Owner;
  int V, R;
  TPDFAESKind AESKind;
  TPDFCryptMethod Method;
  int KeyBytes;
};

void ExpectOpens(const TSample& sample, const TQpdfCase& c) {
  SCOPED_TRACE(c.Name);
  THandler handler;
  handler.Examine(sample.Dictionary);
  ASSERT_EQ(handler.EncryptionState(), THandler::Supported);
  EXPECT_EQ(handler.State().Version, c.V);
  EXPECT_EQ(handler.State().Revision, c.R);
  EXPECT_EQ(handler.State().AESKind, c.AESKind);
  EXPECT_EQ(handler.ObjectKey(sample.SecretNumber(), 0), "");  // locked

  // The user password.
  ASSERT_TRUE(handler.CheckPassword(c.User));
  EXPECT_TRUE(handler.State().UserAccepted);
  EXPECT_FALSE(handler.State().OwnerAccepted);
  EXPECT_EQ(handler.State().AcceptedPassword, c.User);
  EXPECT_EQ(handler.State().Method, c.Method);
  EXPECT_EQ(handler.State().FileKey.size(), static_cast<size_t>(c.KeyBytes));
  EXPECT_EQ(handler.State().Permissions, -4);
  EXPECT_EQ(sample.DecryptedSecret(handler), SampleSecretText);
  EXPECT_EQ(sample.DecryptedContent(handler), SampleContentText);
  EXPECT_EQ(handler.ObjectKey(sample.Dictionary.RefNumber, 0), "");  // the dictionary's own object
  const std::string userKey = handler.State().FileKey;

  // The owner password gives the same key and, for the MD5 revisions, the user password.
  ASSERT_TRUE(handler.CheckPassword(c.Owner));
  EXPECT_FALSE(handler.State().UserAccepted);
  EXPECT_TRUE(handler.State().OwnerAccepted);
  EXPECT_EQ(handler.State().FileKey, userKey);
  EXPECT_EQ(handler.State().UserPassword, c.R < 5 ? PasswordToWindows1252(c.User) : "");
  EXPECT_EQ(sample.DecryptedSecret(handler), SampleSecretText);

  // A wrong password locks the document again.
  EXPECT_FALSE(handler.CheckPassword(c.User + u"x"));
  EXPECT_FALSE(handler.IsUnlocked());
  EXPECT_FALSE(handler.State().UserAccepted || handler.State().OwnerAccepted);
  EXPECT_EQ(handler.State().FileKey, "");
  EXPECT_EQ(handler.State().AcceptedPassword, u"");
  EXPECT_EQ(handler.ObjectKey(sample.SecretNumber(), 0), "");
}

TEST(PellarSecurity, OpensDocumentsEncryptedByQpdf) {
  using H = THandler;
  const TQpdfCase cases[] = {
      {"RC4 40-bit", "rc4-40.pdf", u"user", u"owner", 1, 2, H::AESNone, H::MethodRC4Revision2, 5},
      {"RC4 128-bit", "rc4-128.pdf", u"user", u"owner", 2, 3, H::AESNone,
       H::MethodRC4Revision3, 16},
      {"RC4 crypt filter", "rc4-128-v4.pdf", u"user", u"owner", 4, 4,
       H::AESNone, H::MethodRC4Revision3, 16},
      {"AES-128", "aes-128.pdf", u"user", u"owner", 4, 4, H::AES128, H::MethodAES128, 16},
      {"AES-128, metadata in clear", "aes-128-clear-metadata.pdf", u"user",
       u"owner", 4, 4, H::AES128, H::MethodAES128, 16},
      {"AES-256 R5", "aes-256-r5.pdf", u"user", u"owner", 5, 5, H::AES256, H::MethodAES256, 32},
      {"AES-256 R6", "aes-256-r6.pdf", u"user", u"owner", 5, 6, H::AES256, H::MethodAES256, 32},
      {"empty user password, RC4 40-bit", "empty-user-rc4-40.pdf", u"", u"owner", 1, 2, H::AESNone,
       H::MethodRC4Revision2, 5},
      {"empty user password, AES-128", "empty-user-aes-128.pdf", u"", u"owner", 4, 4, H::AES128,
       H::MethodAES128, 16},
      {"empty user password, R5", "empty-user-aes-256-r5.pdf", u"", u"owner", 5, 5, H::AES256,
       H::MethodAES256, 32},
      {"empty user password, R6", "empty-user-aes-256-r6.pdf", u"", u"owner", 5, 6, H::AES256, H::MethodAES256, 32},
      // Non-ASCII passwords: Windows-1252 bytes up to revision 4, UTF-8 from revision 5.
      {"Latin password, RC4 128-bit", "latin-rc4-128.pdf", u"caf\u00e9", u"\u00fcber",
       2, 3, H::AESNone, H::MethodRC4Revision3, 16},
      {"Unicode passwords, R5", "unicode-aes-256-r5.pdf",
       u"p\u00e4ssw\u00f6rd", u"\u03a9wner\u20ac", 5, 5, H::AES256, H::MethodAES256, 32},
      {"Unicode passwords, R6", "unicode-aes-256-r6.pdf", u"p\u00e4ssw\u00f6rd",
       u"\u03a9wner\u20ac\U0001F511", 5, 6, H::AES256, H::MethodAES256, 32},
  };
  for (const TQpdfCase& c : cases) ExpectOpens(TSample(Fixture(std::string("security/") + c.File)), c);
}

// Passwords are cut to 32 bytes for the MD5 revisions and to 127 bytes for AES-256.
TEST(PellarSecurity, LongPasswordsAreCut) {
  struct TCase {
    const char* File;  // the user password: Limit times "u"
    size_t Limit;
  };
  const TCase cases[] = {
      {"long-aes-128.pdf", 32},
      {"long-aes-256.pdf", 127},
  };
  for (const TCase& c : cases) {
    TSample sample(Fixture(std::string("security/") + c.File));
    THandler handler;
    handler.Examine(sample.Dictionary);
    EXPECT_TRUE(handler.CheckPassword(std::u16string(c.Limit, u'u') + u"zzz")) << c.Limit;
    EXPECT_TRUE(handler.State().UserAccepted);
    EXPECT_FALSE(handler.CheckPassword(std::u16string(c.Limit - 1, u'u'))) << c.Limit;
  }
}

TEST(PellarSecurity, ObjectKeys) {
  struct TCase {
    const char* File;
    size_t KeyBytes;  // of object 1, generation 0
  };
  const TCase cases[] = {
      {"rc4-40.pdf", 10},   // 5-byte file key + 5
      {"rc4-128.pdf", 16},  // capped at 16
      {"aes-128.pdf", 16},
      {"aes-256-r6.pdf", 32},  // the file key itself
  };
  for (const TCase& c : cases) {
    TSample sample(Fixture(std::string("security/") + c.File));
    THandler handler;
    handler.Examine(sample.Dictionary);
    ASSERT_TRUE(handler.CheckPassword(u"user"));
    std::string key = handler.ObjectKey(1, 0);
    EXPECT_EQ(key.size(), c.KeyBytes);
    if (handler.State().AESKind == THandler::AES256) {
      EXPECT_EQ(key, handler.State().FileKey);
      EXPECT_EQ(handler.ObjectKey(2, 0), key);
    } else {
      EXPECT_NE(handler.ObjectKey(2, 0), key);
      EXPECT_NE(handler.ObjectKey(1, 1), key);
    }
    EXPECT_EQ(handler.DecryptBytes("", "left as it is"), "left as it is");
  }
}

// Some writers derive the key steps from the key length instead of the revision;
// a document without /Length written that way opens with 16-byte keys.
TEST(PellarSecurity, KeyStepsFromTheKeyLength) {
  TSample sample(Fixture("security/rc4-128.pdf"));
  TPDFEncryptDictionary d = sample.Dictionary;
  d.HasLength = false;
  d.Length = 0;
  THandler handler;
  handler.Examine(d);
  ASSERT_TRUE(handler.CheckPassword(u"user"));
  EXPECT_EQ(handler.State().FileKey.size(), 16u);
  EXPECT_EQ(sample.DecryptedSecret(handler), SampleSecretText);
  ASSERT_TRUE(handler.CheckPassword(u"owner"));
  EXPECT_EQ(handler.State().UserPassword, "user");

  // A crypt filter without /Length takes the dictionary's /Length.
  TSample filtered(Fixture("security/rc4-128-v4.pdf"));
  d = filtered.Dictionary;
  d.HasStdCFLength = false;
  THandler filterHandler;
  filterHandler.Examine(d);
  ASSERT_TRUE(filterHandler.CheckPassword(u"owner"));
  EXPECT_EQ(filtered.DecryptedContent(filterHandler), SampleContentText);

  // A 40-bit key marked revision 3 but made with the revision-2 steps opens with the
  // user password.
  TSample short40(Fixture("security/rc4-40.pdf"));
  d = short40.Dictionary;
  d.R = 3;
  THandler shortHandler;
  shortHandler.Examine(d);
  ASSERT_TRUE(shortHandler.CheckPassword(u"user"));
  EXPECT_EQ(shortHandler.State().Method, THandler::MethodRC4Revision2);
  EXPECT_EQ(short40.DecryptedSecret(shortHandler), SampleSecretText);
}

// Revision-3 documents with keys shorter than 128 bits take the revision-3 steps
// with the shorter key; their owner keys hash only the key's bytes in each round.
TEST(PellarSecurity, OpensShortKeyRevision3DocumentsFromGhostscript) {
  for (int bits : {40, 56}) {
    TSample sample(Fixture("security/gs-rc4-r3-" + std::to_string(bits) + ".pdf"));
    EXPECT_EQ(sample.Dictionary.R, 3);
    EXPECT_EQ(sample.Dictionary.P, -4);  // written as 4294967292
    for (const std::u16string password : {u"user", u"owner"}) {
      THandler handler;
      handler.Examine(sample.Dictionary);
      ASSERT_TRUE(handler.CheckPassword(password)) << bits;
      EXPECT_EQ(handler.State().KeyBits, bits);
      EXPECT_EQ(handler.State().Method, THandler::MethodRC4Revision3);
      int32_t n = ReferenceNumber(sample.Reader.Find({"Info"}));
      const std::string stored = StringValue(sample.Reader.Find({"Info", "Producer"}));
      std::string producer = handler.DecryptBytes(handler.ObjectKey(n, 0), stored);
      EXPECT_EQ(producer.rfind("GPL Ghostscript", 0), 0u) << producer;
    }
  }
}

TEST(PellarSecurity, DamagedAES256Entries) {
  TSample sample(Fixture("security/aes-256-r6.pdf"));
  struct TCase {
    const char* Name;
    void (*Change)(TPDFEncryptDictionary&);
    bool UserOpens, OwnerOpens;
  };
  const TCase cases[] = {
      {"intact", [](TPDFEncryptDictionary&) {}, true, true},
      // A wrapped key too short for 32 bytes cannot give a file key.
      {"short /UE", [](TPDFEncryptDictionary& d) { d.UE.resize(16); }, false, true},
      {"short /OE", [](TPDFEncryptDictionary& d) { d.OE.resize(31); }, true, false},
      {"/U without salts", [](TPDFEncryptDictionary& d) { d.U.resize(32); }, false, false},
      {"damaged /Perms", [](TPDFEncryptDictionary& d) { d.Perms = "xx"; }, true, true},
  };
  for (const TCase& c : cases) {
    TPDFEncryptDictionary d = sample.Dictionary;
    c.Change(d);
    THandler handler;
    handler.Examine(d);
    EXPECT_EQ(handler.CheckPassword(u"user") && handler.State().UserAccepted, c.UserOpens) << c.Name;
    EXPECT_EQ(handler.CheckPassword(u"owner") && handler.State().OwnerAccepted, c.OwnerOpens) << c.Name;
    if (handler.IsUnlocked()) {
      EXPECT_EQ(sample.DecryptedSecret(handler), SampleSecretText) << c.Name;
    }
  }
}

// A handler given another revision-6 hash (the fuzz target's cheap stand-in) uses it: a
// revision-5 file marked revision 6 opens with the revision-5 hash handed in.
TEST(PellarSecurity, Revision6HashCanBeReplaced) {
  TSample sample(Fixture("security/aes-256-r5.pdf"));
  TPDFEncryptDictionary d = sample.Dictionary;
  d.R = 6;
  THandler standard;
  standard.Examine(d);
  EXPECT_FALSE(standard.CheckPassword(u"user"));
  THandler replaced([](const std::string& password, const std::string& salt, const std::string& userData) {
    return SHA256(password + salt + userData);
  });
  replaced.Examine(d);
  for (const std::u16string password : {u"user", u"owner"}) {
    ASSERT_TRUE(replaced.CheckPassword(password));
    EXPECT_EQ(sample.DecryptedSecret(replaced), SampleSecretText);
  }
}

// /Perms holds the permissions the writer meant; they replace a different /P.
TEST(PellarSecurity, PermsEntryGivesThePermissions) {
  TSample sample(Fixture("security/aes-256-print-none.pdf"));
  const int32_t written = sample.Dictionary.P;
  EXPECT_NE(written, -4);
  TPDFEncryptDictionary d = sample.Dictionary;
  d.P = -1;
  THandler handler;
  handler.Examine(d);
  EXPECT_EQ(handler.State().Permissions, -1);
  ASSERT_TRUE(handler.CheckPassword(u"user"));
  EXPECT_EQ(handler.State().Permissions, written);
}

}  // namespace
