#include "morph/morph.h"

#include <libstemmer.h>
#include <hunspell/hunspell.hxx>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "morph/fold.h"
#include "plat/cp1251.h"

namespace morph {
namespace {

std::atomic<int> gMorphState{0};

// Forms the affix dictionary cannot reach from their base form (suppletive stems).
struct Irregular {
  const char* form;
  const char* lemma;
};
constexpr Irregular kIrregular[] = {
    {"люди", "человек"},
    {"людей", "человек"},
    {"людям", "человек"},
    {"людьми", "человек"},
    {"людях", "человек"},
    {"дети", "ребенок"},
    {"детей", "ребенок"},
    {"детям", "ребенок"},
    {"детьми", "ребенок"},
    {"детях", "ребенок"},
    {"шел", "идти"},
    {"шла", "идти"},
    {"шло", "идти"},
    {"шли", "идти"},
    {"пошел", "пойти"},
    {"пошла", "пойти"},
    {"пошло", "пойти"},
    {"пошли", "пойти"},
    {"пришел", "прийти"},
    {"пришла", "прийти"},
    {"пришли", "прийти"},
    {"ушел", "уйти"},
    {"ушла", "уйти"},
    {"ушли", "уйти"},
    {"вышел", "выйти"},
    {"вышла", "выйти"},
    {"вышли", "выйти"},
    {"нашел", "найти"},
    {"нашла", "найти"},
    {"нашли", "найти"},
    {"лучше", "хороший"},
    {"лучший", "хороший"},
    {"хуже", "плохой"},
    {"худший", "плохой"},
    {"больше", "большой"},
    {"меньше", "маленький"},
    {"меньший", "маленький"},
    {"ел", "есть"},
    {"ела", "есть"},
    {"ели", "есть"},
    {"ест", "есть"},
    {"едят", "есть"},
    {"мною", "я"},
    {"меня", "я"},
    {"мне", "я"},
    {"нас", "мы"},
    {"нам", "мы"},
    {"нами", "мы"},
};

std::string FindDictionaryFolder() {
  if (const char* env = std::getenv("LEXO_HUNSPELL_DIR")) return env;
  return "/usr/share/hunspell";
}

class Engine {
 public:
  Engine() {
    std::string folder = FindDictionaryFolder();
    std::string aff = folder + "/ru_RU.aff";
    std::string dic = folder + "/ru_RU.dic";
    std::error_code error;
    if (std::filesystem::exists(aff, error) && std::filesystem::exists(dic, error)) {
      dictionary_ = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
      dictionarySize_ = std::filesystem::file_size(dic, error);
    }
    stemmer_ = sb_stemmer_new("russian", "UTF_8");
    for (const auto& entry : kIrregular) irregular_.emplace(entry.form, entry.lemma);
  }
  ~Engine() {
    if (stemmer_) sb_stemmer_delete(stemmer_);
  }

  // Base forms as the dictionary spells them (not folded), the irregular table first.
  std::vector<std::string> baseForms(const std::string& word) {
    std::vector<std::string> out;
    std::string folded = FoldWord(word);
    if (auto it = irregular_.find(folded); it != irregular_.end()) out.push_back(it->second);
    if (!dictionary_) return out;
    std::lock_guard lock(mutex_);
    auto stems = dictionary_->stem(word);
    if (stems.empty() && folded != word) stems = dictionary_->stem(folded);
    if (stems.empty() && !folded.empty()) {
      // Proper names are stored capitalised; folded words reach us in lower case.
      std::size_t pos = 0;
      char32_t first = NextCharacter(folded, pos);
      std::string capital;
      AppendUtf8(capital, first >= 0x0430 && first <= 0x044F ? first - 0x20
                          : first >= 'a' && first <= 'z'     ? first - 32
                                                             : first);
      capital += folded.substr(pos);
      stems = dictionary_->stem(capital);
    }
    for (auto& stem : stems) out.push_back(std::move(stem));
    return out;
  }

  std::string stem(const std::string& folded) {
    if (!stemmer_) return folded;
    std::lock_guard lock(mutex_);
    const sb_symbol* result =
        sb_stemmer_stem(stemmer_, reinterpret_cast<const sb_symbol*>(folded.data()),
                        static_cast<int>(folded.size()));
    if (!result) return folded;
    return std::string(reinterpret_cast<const char*>(result),
                       static_cast<std::size_t>(sb_stemmer_length(stemmer_)));
  }

  std::string identity() const {
    return "hunspell-ru:" + std::to_string(dictionarySize_) +
           ";irregular:" + std::to_string(std::size(kIrregular)) + ";snowball-russian";
  }

 private:
  std::mutex mutex_;
  std::unique_ptr<Hunspell> dictionary_;
  std::uintmax_t dictionarySize_ = 0;
  sb_stemmer* stemmer_ = nullptr;
  std::unordered_map<std::string, std::string> irregular_;
};

Engine& engine() {
  static Engine instance;
  return instance;
}

bool HasOnlyCyrillicLetters(std::string_view utf8) {
  if (utf8.empty()) return false;
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t c = NextCharacter(utf8, pos);
    if (c < 0x0400 || c > 0x04FF) return false;
  }
  return true;
}

}  // namespace

void SetMorph(int state) {
  gMorphState.store(state, std::memory_order_relaxed);
}

bool MorphEnabled() {
  return gMorphState.load(std::memory_order_relaxed) != 0;
}

const char* Morph(const char* word) {
  thread_local std::string result;
  if (!word) return nullptr;
  std::string_view text(word);
  // The double-clicked word may carry the dictionary's marker byte; it is no letter.
  std::string cleaned;
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) != 0x98) cleaned += ch;
  }
  std::string utf8 = plat::cp1251::ToUtf8(cleaned);
  if (!HasOnlyCyrillicLetters(utf8)) return nullptr;
  auto forms = engine().baseForms(utf8);
  if (forms.empty()) return nullptr;
  result = plat::cp1251::FromUtf8(forms.front());
  return result.c_str();
}

std::vector<std::string> Lemmas(std::string_view foldedWord) {
  std::vector<std::string> out;
  if (!HasOnlyCyrillicLetters(foldedWord)) return out;
  for (auto& form : engine().baseForms(std::string(foldedWord))) {
    std::string folded = FoldWord(form);
    bool seen = false;
    for (const auto& existing : out) seen = seen || existing == folded;
    if (!seen) out.push_back(std::move(folded));
  }
  return out;
}

const std::vector<std::string>& IndexKeys(std::string_view foldedWord) {
  thread_local std::unordered_map<std::string, std::vector<std::string>> cache;
  std::string word(foldedWord);
  if (auto it = cache.find(word); it != cache.end()) return it->second;
  std::vector<std::string> keys;
  for (auto& lemma : Lemmas(word)) keys.push_back(kKeyMarker + lemma);
  if (keys.empty()) {
    keys.push_back(kKeyMarker + (HasOnlyCyrillicLetters(word) ? engine().stem(word) : word));
  }
  if (cache.size() > 200000) cache.clear();
  return cache.emplace(std::move(word), std::move(keys)).first->second;
}

std::string DataIdentity() {
  return engine().identity();
}

}  // namespace morph
