#include "tests/support/MiniPdfReader.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <regex>
#include <stdexcept>

namespace {

using EKind = TMiniValue::EKind;

bool IsWhite(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDelimiter(char c) { return std::strchr("()<>[]{}/%", c) != nullptr; }

class TParser {
public:
  TParser(const std::string& text, size_t pos) : Text(text), Pos(pos) {}

  TMiniValue Value() {
    SkipWhite();
    if (Pos >= Text.size()) throw std::runtime_error("unexpected end");
    char c = Text[Pos];
    if (c == '/') return Name();
    if (c == '(') return Literal();
    if (c == '<' && Peek(1) == '<') return Dictionary();
    if (c == '<') return Hex();
    if (c == '[') return Array();
    return NumberOrKeyword();
  }

  size_t Position() const { return Pos; }

private:
  char Peek(size_t ahead) const { return Pos + ahead < Text.size() ? Text[Pos + ahead] : '\0'; }

  void SkipWhite() {
    while (Pos < Text.size()) {
      if (IsWhite(Text[Pos])) {
        ++Pos;
      } else if (Text[Pos] == '%') {
        while (Pos < Text.size() && Text[Pos] != '\n' && Text[Pos] != '\r') ++Pos;
      } else {
        break;
      }
    }
  }

  std::string Regular() {
    size_t start = Pos;
    while (Pos < Text.size() && !IsWhite(Text[Pos]) && !IsDelimiter(Text[Pos])) ++Pos;
    return Text.substr(start, Pos - start);
  }

  TMiniValue Name() {
    ++Pos;
    TMiniValue v;
    v.Kind = EKind::Name;
    v.Text = Regular();
    return v;
  }

  TMiniValue Literal() {
    TMiniValue v;
    v.Kind = EKind::String;
    int depth = 0;
    for (++Pos; Pos < Text.size(); ++Pos) {
      char c = Text[Pos];
      if (c == ')' && depth == 0) break;
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c != '\\') {
        v.Text += c;
        continue;
      }
      if (Pos + 1 >= Text.size()) break;
      char e = Text[++Pos];
      const char* from = "nrtbf";
      const char* to = "\n\r\t\b\f";
      if (const char* at = std::strchr(from, e); at && e) {
        v.Text += to[at - from];
      } else if (e >= '0' && e <= '7') {
        int code = 0;
        for (int k = 0; k < 3 && Text[Pos] >= '0' && Text[Pos] <= '7'; ++k, ++Pos) code = code * 8 + (Text[Pos] - '0');
        --Pos;
        v.Text += static_cast<char>(code);
      } else if (e == '\r') {
        if (Peek(1) == '\n') ++Pos;
      } else if (e != '\n') {
        v.Text += e;
      }
    }
    ++Pos;
    return v;
  }

  TMiniValue Hex() {
    TMiniValue v;
    v.Kind = EKind::String;
    std::string digits;
    for (++Pos; Pos < Text.size() && Text[Pos] != '>'; ++Pos)
      if (std::isxdigit(static_cast<unsigned char>(Text[Pos]))) digits += Text[Pos];
    ++Pos;
    if (digits.size() % 2) digits += '0';
    for (size_t i = 0; i < digits.size(); i += 2)
      v.Text += static_cast<char>(std::stoi(digits.substr(i, 2), nullptr, 16));
    return v;
  }

  TMiniValue Array() {
    TMiniValue v;
    v.Kind = EKind::Array;
    ++Pos;
    for (SkipWhite(); Pos < Text.size() && Text[Pos] != ']'; SkipWhite()) v.Items.push_back(Value());
    ++Pos;
    return v;
  }

  TMiniValue Dictionary() {
    TMiniValue v;
    v.Kind = EKind::Dictionary;
    Pos += 2;
    std::vector<TMiniValue> items;
    for (SkipWhite(); Pos < Text.size() && Text[Pos] != '>'; SkipWhite()) items.push_back(Value());
    Pos += 2;
    for (size_t i = 0; i + 1 < items.size(); i += 2) v.Entries[items[i].Text] = items[i + 1];
    return v;
  }

  TMiniValue NumberOrKeyword() {
    TMiniValue v;
    std::string word = Regular();
    if (word.empty()) throw std::runtime_error("unexpected delimiter");
    if (word == "true" || word == "false") {
      v.Kind = EKind::Boolean;
      v.Boolean = word == "true";
    } else if (word != "null") {
      v.Kind = EKind::Number;
      v.Number = std::stod(word);
      ReadReferenceTail(v, word);
    }
    return v;
  }

  // "n g R": the number just read becomes a reference when a generation and "R" follow.
  void ReadReferenceTail(TMiniValue& v, const std::string& number) {
    size_t save = Pos;
    SkipWhite();
    std::string generation = Regular();
    SkipWhite();
    bool isReference = IsDigits(number) && IsDigits(generation) && Peek(0) == 'R' &&
                       (IsWhite(Peek(1)) || IsDelimiter(Peek(1)));
    if (!isReference) {
      Pos = save;
      return;
    }
    ++Pos;
    v.Kind = EKind::Reference;
    v.RefNumber = std::stoi(number);
    v.RefGeneration = std::stoi(generation);
  }

  static bool IsDigits(const std::string& word) {
    return !word.empty() && word.find_first_not_of("0123456789") == std::string::npos;
  }

  const std::string& Text;
  size_t Pos;
};

int32_t RoundedInt32(const TMiniValue& v) {
  // Writers give /P also as an unsigned 32-bit number; the low 32 bits count.
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(v.Number))));
}

}  // namespace

const TMiniValue& TMiniValue::operator[](const std::string& key) const {
  static const TMiniValue null;
  auto it = Entries.find(key);
  return it == Entries.end() ? null : it->second;
}

TMiniPdfReader::TMiniPdfReader(std::string fileBytes) : Bytes(std::move(fileBytes)) {
  size_t at = Bytes.rfind("trailer");
  if (at == std::string::npos) throw std::runtime_error("no trailer");
  TrailerValue = TParser(Bytes, at + 7).Value();
}

size_t TMiniPdfReader::ObjectStart(int32_t number) const {
  std::regex header("(^|[\\r\\n])" + std::to_string(number) + " (\\d+) obj");
  std::smatch match;
  if (!std::regex_search(Bytes, match, header)) return std::string::npos;
  return static_cast<size_t>(match.position(0) + match.length(0));
}

int32_t TMiniPdfReader::Generation(int32_t number) const {
  std::regex header("(^|[\\r\\n])" + std::to_string(number) + " (\\d+) obj");
  std::smatch match;
  return std::regex_search(Bytes, match, header) ? std::stoi(match[2].str()) : -1;
}

TMiniValue TMiniPdfReader::Object(int32_t number) const {
  size_t start = ObjectStart(number);
  return start == std::string::npos ? TMiniValue() : TParser(Bytes, start).Value();
}

TMiniValue TMiniPdfReader::Resolve(const TMiniValue& value) const {
  return value.Is(TMiniValue::EKind::Reference) ? Object(value.RefNumber) : value;
}

std::string TMiniPdfReader::StreamData(int32_t number) const {
  size_t start = ObjectStart(number);
  if (start == std::string::npos) return {};
  TParser parser(Bytes, start);
  TMiniValue dictionary = parser.Value();
  size_t at = Bytes.find("stream", parser.Position());
  if (at == std::string::npos) return {};
  at += 6;
  if (Bytes[at] == '\r') ++at;
  if (Bytes[at] == '\n') ++at;
  return Bytes.substr(at, static_cast<size_t>(dictionary["Length"].Number));
}

TPDFEncryptDictionary TMiniPdfReader::EncryptDictionary() const {
  TPDFEncryptDictionary out;
  const TMiniValue& entry = TrailerValue["Encrypt"];
  const TMiniValue& id = TrailerValue["ID"];
  if (id.Is(EKind::Array) && !id.Items.empty() && id.Items[0].Is(EKind::String)) out.FileId = id.Items[0].Text;
  out.Present = !entry.Is(EKind::Null);
  if (!out.Present) return out;
  if (entry.Is(EKind::Reference)) out.RefNumber = entry.RefNumber;
  TMiniValue d = Resolve(entry);
  out.IsDictionary = d.Is(EKind::Dictionary);
  auto name = [](const TMiniValue& v) { return v.Is(EKind::Name) ? v.Text : std::string(); };
  auto string = [](const TMiniValue& v) { return v.Is(EKind::String) ? v.Text : std::string(); };
  auto number = [](const TMiniValue& v) { return v.Is(EKind::Number) ? RoundedInt32(v) : 0; };
  out.Filter = name(d["Filter"]);
  out.V = number(d["V"]);
  out.R = number(d["R"]);
  out.HasLength = d["Length"].Is(EKind::Number);
  out.Length = number(d["Length"]);
  out.P = number(d["P"]);
  out.O = string(d["O"]);
  out.U = string(d["U"]);
  out.OE = string(d["OE"]);
  out.UE = string(d["UE"]);
  out.Perms = string(d["Perms"]);
  out.EncryptMetadata = !(d["EncryptMetadata"].Is(EKind::Boolean) && !d["EncryptMetadata"].Boolean);
  out.StmF = name(d["StmF"]);
  out.StrF = name(d["StrF"]);
  const TMiniValue& stdCF = d["CF"]["StdCF"];
  out.HasStdCF = d["CF"].Is(EKind::Dictionary) && stdCF.Is(EKind::Dictionary);
  out.StdCFMethod = name(stdCF["CFM"]);
  out.HasStdCFLength = stdCF["Length"].Is(EKind::Number);
  out.StdCFLength = number(stdCF["Length"]);
  return out;
}
