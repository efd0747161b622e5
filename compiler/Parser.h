#ifndef SANC_PARSER_H
#define SANC_PARSER_H

#include "compiler/Ast.h"
#include "compiler/Source.h"

#include <functional>
#include <string>

// Reads a model file into its declarations. Statements end at a line end or ';';
// blocks are in braces; expressions are C++ text up to the end of the statement
// (a line end inside brackets does not end it, unless the next line plainly
// begins a new statement). Throws ModelError at the first
// mistake, saying what was expected.
class Parser {
  public:
    explicit Parser(const Source& source) : text_(source.text) {}
    ModelFile Parse();

  private:
    const std::string& text_;
    size_t at_ = 0;
    int line_ = 1;
    size_t lineStart_ = 0;

    Position Here() const;
    [[noreturn]] void Fail(const std::string& what) const;
    [[noreturn]] void Fail(Position at, const std::string& what) const;
    std::string Found() const;

    char Peek(size_t ahead = 0) const;
    void Advance();
    bool AtEnd() const { return at_ >= text_.size(); }
    void SkipBlanks();
    void SkipStatementBreaks();
    bool IsIdentifierStart(char c) const;
    bool AtWord(const char* word) const;
    bool Accept(char c);
    void Expect(char c, const std::string& what);
    Name Identifier(const std::string& what);
    void EndStatement();

    // C++ text up to the end of the statement; `stopAtComma` and `stopAtBrace` also
    // end it at a ',' or '{' outside parentheses.
    Fragment Expression(const std::string& what, bool stopAtComma, bool stopAtBrace);
    // The blanks that put a text at the cursor's column (see Fragment::indent).
    std::string Indent() const;
    // Whether the line after the line end at the cursor begins a statement of the
    // model file: a statement's word followed by what the statement takes.
    bool NextLineStartsStatement() const;
    // The text between a '{' and its '}', which must come next.
    Fragment Block(const std::string& what);
    // A number or true/false, as written.
    std::string Literal(const std::string& what);
    void SkipQuoted();
    void SkipComment();

    void ParseGlobal(ModelFile& file);
    void ParseStudy(ModelFile& file);
    void ParseStudyValues(StudyValues& column);
    void ParseAtomic(ModelFile& file);
    void ParseActivity(AtomicDecl& atomic, Timing timing);
    void ParseActivityStatement(ActivityDecl& activity);
    bool ParseGeneralDelay(ActivityDecl& activity,
                           const std::function<void(DistributionKind)>& distribution);
    void ParseArcs(std::vector<Arc>& arcs);
    void ParseOutput(Outputs& outputs);
    void ParseJoin(ModelFile& file);
    void ParseReward(ModelFile& file);
    void ParseTimes(RewardDecl& reward, bool intervals);
    // The condition after 'until' or 'reach', and for 'reach' the times of an
    // optional 'within' list that follows it.
    void ParseCondition(RewardDecl& reward, bool reach);
};

#endif
