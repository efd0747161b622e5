#include "compiler/Parser.h"

#include "compiler/StudyRange.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

} // namespace

ModelFile Parser::Parse() {
    ModelFile file;
    for (;;) {
        SkipStatementBreaks();
        if (AtEnd())
            break;
        if (AtWord("global"))
            ParseGlobal(file);
        else if (AtWord("code")) {
            Identifier("code");
            file.code.push_back(Block("a block of C++ code"));
            EndStatement();
        } else if (AtWord("study"))
            ParseStudy(file);
        else if (AtWord("atomic"))
            ParseAtomic(file);
        else if (AtWord("join"))
            ParseJoin(file);
        else if (AtWord("reward"))
            ParseReward(file);
        else
            Fail("expected a declaration (global, code, study, atomic, join or reward), found " +
                 Found());
    }
    return file;
}

// ---------------------------------------------------------------- scanning

Position Parser::Here() const {
    return Position{line_, static_cast<int>(at_ - lineStart_) + 1};
}

void Parser::Fail(const std::string& what) const {
    Fail(Here(), what);
}

void Parser::Fail(Position at, const std::string& what) const {
    throw ModelError(at, what);
}

// What stands at the cursor, for "expected X, found Y" messages.
std::string Parser::Found() const {
    if (AtEnd())
        return "the end of the file";
    char c = Peek();
    if (c == '\n')
        return "the end of the line";
    if (IsIdentifierStart(c)) {
        size_t end = at_;
        while (end < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_'))
            end++;
        return Quoted(text_.substr(at_, end - at_));
    }
    // A control character or a byte outside ASCII is named, not printed: printed, a
    // NUL would cut the message short and others would garble the terminal.
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7f) {
        char name[16];
        std::snprintf(name, sizeof name, "the byte 0x%02x", u);
        return name;
    }
    return Quoted(std::string(1, c));
}

char Parser::Peek(size_t ahead) const {
    return at_ + ahead < text_.size() ? text_[at_ + ahead] : '\0';
}

void Parser::Advance() {
    if (AtEnd())
        return;
    if (text_[at_] == '\n') {
        line_++;
        lineStart_ = at_ + 1;
    }
    at_++;
}

void Parser::SkipComment() {
    if (Peek() == '/' && Peek(1) == '/') {
        while (!AtEnd() && Peek() != '\n')
            Advance();
    } else if (Peek() == '/' && Peek(1) == '*') {
        Position start = Here();
        Advance();
        Advance();
        while (!AtEnd() && !(Peek() == '*' && Peek(1) == '/'))
            Advance();
        if (AtEnd())
            Fail(start, "comment not closed: expected '*/'");
        Advance();
        Advance();
    }
}

void Parser::SkipBlanks() {
    for (;;) {
        if (IsSpace(Peek()))
            Advance();
        else if (Peek() == '/' && (Peek(1) == '/' || Peek(1) == '*'))
            SkipComment();
        else
            return;
    }
}

void Parser::SkipStatementBreaks() {
    for (;;) {
        SkipBlanks();
        if (Peek() == '\n' || Peek() == ';')
            Advance();
        else
            return;
    }
}

bool Parser::IsIdentifierStart(char c) const {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool Parser::AtWord(const char* word) const {
    size_t n = std::char_traits<char>::length(word);
    if (text_.compare(at_, n, word) != 0)
        return false;
    char after = at_ + n < text_.size() ? text_[at_ + n] : '\0';
    return !(std::isalnum(static_cast<unsigned char>(after)) || after == '_');
}

bool Parser::Accept(char c) {
    SkipBlanks();
    if (Peek() != c)
        return false;
    Advance();
    return true;
}

void Parser::Expect(char c, const std::string& what) {
    if (!Accept(c))
        Fail("expected '" + std::string(1, c) + "' " + what + ", found " + Found());
}

Name Parser::Identifier(const std::string& what) {
    SkipBlanks();
    if (!IsIdentifierStart(Peek()))
        Fail("expected " + what + ", found " + Found());
    Name name;
    name.at = Here();
    while (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_') {
        name.text += Peek();
        Advance();
    }
    return name;
}

void Parser::EndStatement() {
    SkipBlanks();
    if (AtEnd() || Peek() == '\n' || Peek() == ';' || Peek() == '}')
        return;
    Fail("expected the end of the statement (a line end or ';'), found " + Found());
}

void Parser::SkipQuoted() {
    char quote = Peek();
    Position start = Here();
    Advance();
    while (!AtEnd() && Peek() != quote && Peek() != '\n') {
        if (Peek() == '\\')
            Advance();
        Advance();
    }
    if (Peek() != quote)
        Fail(start, std::string("literal not closed: expected ") + quote);
    Advance();
}

Fragment Parser::Expression(const std::string& what, bool stopAtComma, bool stopAtBrace) {
    SkipBlanks();
    Fragment f;
    f.at = Here();
    f.indent = Indent();
    size_t start = at_;
    size_t end = at_;
    // The brackets still open, innermost last, with where each was opened.
    std::vector<std::pair<char, Position>> open;
    auto notClosed = [&](const std::string& before) {
        const char opener = open.back().first;
        const char closer = opener == '(' ? ')' : opener == '[' ? ']' : '}';
        Fail(open.back().second, std::string("'") + opener + "' not closed: expected '" + closer +
                                     "' before " + before);
    };
    for (;;) {
        char c = Peek();
        if (AtEnd())
            break;
        if (open.empty()) {
            if (c == '\n' || c == ';' || c == '}' || c == ')' || c == ']')
                break;
            if ((stopAtComma && c == ',') || (stopAtBrace && c == '{'))
                break;
        } else if (c == '\n' && NextLineStartsStatement()) {
            // A line end inside brackets continues the expression, unless the next
            // line is plainly a statement of its own: then a bracket was left open,
            // and the lines that follow must not be swallowed into the expression.
            notClosed("the end of line " + std::to_string(line_));
        }
        if (c == '/' && (Peek(1) == '/' || Peek(1) == '*')) {
            SkipComment();
            continue;
        }
        if (c == '"' || c == '\'') {
            SkipQuoted();
            end = at_;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') {
            open.emplace_back(c, Here());
        } else if (c == ')' || c == ']' || c == '}') {
            const char expected = open.back().first == '('   ? ')'
                                  : open.back().first == '[' ? ']'
                                                             : '}';
            if (c != expected)
                notClosed("'" + std::string(1, c) + "' at line " + std::to_string(line_) +
                          ", column " + std::to_string(Here().column));
            open.pop_back();
        }
        Advance();
        if (!IsSpace(c) && c != '\n')
            end = at_;
    }
    if (!open.empty())
        notClosed("the end of the file");
    f.text = text_.substr(start, end - start);
    if (f.empty())
        Fail(f.at, "expected " + what + ", found " + Found());
    return f;
}

std::string Parser::Indent() const {
    // What precedes the cursor on its line, as blanks of the same bytes: a tab stays
    // a tab, any other byte becomes a space. The C++ compiler counts the column of an
    // error in bytes and turns it into the column a reader sees (tabs expanded, a
    // character outside ASCII as one) from the model file's own line.
    std::string indent;
    for (size_t k = lineStart_; k < at_; k++)
        indent += text_[k] == '\t' ? '\t' : ' ';
    return indent;
}

bool Parser::NextLineStartsStatement() const {
    // Words that begin a statement or a declaration of the model language, and that
    // in C++ could not be followed by a name, a number or a block.
    static const char* const kStatements[] = {
        "atomic",    "average", "case",    "code",  "deterministic", "erlang",     "exponential",
        "gamma",     "global",  "impulse", "input", "instant",       "interval",   "join",
        "lognormal", "normal",  "output",  "place", "rank",          "rate",       "reach",
        "reward",    "share",   "steady",  "study", "timed",         "triangular", "uniform",
        "until",     "weibull", "weight"};
    size_t k = at_ + 1;
    while (k < text_.size() && IsSpace(text_[k]))
        k++;
    size_t end = k;
    while (end < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_'))
        end++;
    const std::string word = text_.substr(k, end - k);
    bool keyword = false;
    for (const char* s : kStatements)
        keyword = keyword || word == s;
    if (!keyword)
        return false;
    size_t next = end;
    while (next < text_.size() && IsSpace(text_[next]))
        next++;
    const char after = next < text_.size() ? text_[next] : '\n';
    if (after == '\n' || after == ';' || after == '}')
        return word == "steady";
    return next > end && (std::isalnum(static_cast<unsigned char>(after)) || after == '_' ||
                          after == '{' || after == '"');
}

Fragment Parser::Block(const std::string& what) {
    SkipBlanks();
    Position open = Here();
    if (Peek() != '{')
        Fail("expected '{' to start " + what + ", found " + Found());
    Advance();
    Fragment f;
    f.at = Here();
    f.indent = Indent();
    size_t start = at_;
    int depth = 0;
    for (;;) {
        if (AtEnd())
            Fail(open, "block not closed: expected '}'");
        char c = Peek();
        if (c == '/' && (Peek(1) == '/' || Peek(1) == '*')) {
            SkipComment();
            continue;
        }
        if (c == '"' || c == '\'') {
            SkipQuoted();
            continue;
        }
        if (c == '{')
            depth++;
        else if (c == '}') {
            if (depth == 0)
                break;
            depth--;
        }
        Advance();
    }
    f.text = text_.substr(start, at_ - start);
    Advance();
    return f;
}

std::string Parser::Literal(const std::string& what) {
    SkipBlanks();
    if (AtWord("true") || AtWord("false"))
        return Identifier(what).text;
    size_t start = at_;
    if (Peek() == '-' || Peek() == '+')
        Advance();
    bool digits = false;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
        Advance();
        digits = true;
    }
    if (Peek() == '.' && Peek(1) != '.') {
        Advance();
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            Advance();
            digits = true;
        }
    }
    if (digits && (Peek() == 'e' || Peek() == 'E')) {
        size_t mark = at_;
        Advance();
        if (Peek() == '-' || Peek() == '+')
            Advance();
        if (!std::isdigit(static_cast<unsigned char>(Peek()))) {
            at_ = mark;
        } else {
            while (std::isdigit(static_cast<unsigned char>(Peek())))
                Advance();
        }
    }
    if (!digits) {
        at_ = start;
        Fail("expected " + what + " (a number), found " + Found());
    }
    if (IsIdentifierStart(Peek()))
        Fail("expected " + what + " (a number), found " + Found());
    const std::string literal = text_.substr(start, at_ - start);
    // Past the largest double a number would become infinity in C++ without a word.
    if (std::isinf(std::strtod(literal.c_str(), nullptr))) {
        at_ = start;
        Fail(literal + " is too large for a number: the largest is about 1.8e308");
    }
    return literal;
}

// ---------------------------------------------------------------- declarations

void Parser::ParseGlobal(ModelFile& file) {
    Identifier("global");
    Name type = Identifier("the type of the global variable");
    do {
        Global g;
        g.type = type;
        g.name = Identifier("the name of the global variable");
        file.globals.push_back(g);
    } while (Accept(','));
    EndStatement();
}

void Parser::ParseStudyValues(StudyValues& column) {
    SkipBlanks();
    if (Accept('{')) {
        do {
            column.values.push_back(Literal("a value"));
        } while (Accept(','));
        Expect('}', "to end the list of values");
        return;
    }
    Position at = Here();
    std::string first = Literal("a value");
    SkipBlanks();
    if (!(Peek() == '.' && Peek(1) == '.')) {
        column.values.push_back(first);
        return;
    }
    Advance();
    Advance();
    std::string last = Literal("the last value of the range");
    SkipBlanks();
    StudyRange range;
    range.first = first;
    range.last = last;
    if (AtWord("step")) {
        Identifier("step");
        range.step = Literal("the step of the range");
    } else if (AtWord("times")) {
        Identifier("times");
        range.factor = Literal("the factor of the range");
    }
    std::string error;
    if (!range.Expand(column.values, error))
        Fail(at, error);
}

void Parser::ParseStudy(ModelFile& file) {
    Name keyword = Identifier("study");
    if (file.hasStudy)
        Fail(keyword.at, "a second study: a model file has one study");
    file.hasStudy = true;
    Expect('{', "to start the study");
    for (;;) {
        SkipStatementBreaks();
        if (Accept('}'))
            break;
        StudyFactor factor;
        factor.at = Here();
        if (AtWord("list")) {
            Identifier("list");
            Expect('{', "to start the list of variables that vary together");
            for (;;) {
                SkipStatementBreaks();
                if (Accept('}'))
                    break;
                StudyValues column;
                column.variable = Identifier("a global variable or '}'");
                Expect('=', "after the variable's name");
                ParseStudyValues(column);
                factor.columns.push_back(column);
                EndStatement();
            }
        } else {
            StudyValues column;
            column.variable = Identifier("a global variable, 'list' or '}'");
            Expect('=', "after the variable's name");
            ParseStudyValues(column);
            factor.columns.push_back(column);
        }
        file.study.push_back(factor);
        EndStatement();
    }
    EndStatement();
}

void Parser::ParseAtomic(ModelFile& file) {
    Identifier("atomic");
    AtomicDecl atomic;
    atomic.name = Identifier("the name of the atomic model");
    Expect('{', "to start the atomic model");
    for (;;) {
        SkipStatementBreaks();
        if (Accept('}'))
            break;
        if (AtWord("place")) {
            Identifier("place");
            do {
                PlaceDecl place;
                place.name = Identifier("the name of a place");
                if (Accept('[')) {
                    place.size = Expression("the number of places in the array", false, false);
                    Expect(']', "to end the size of the array");
                }
                if (Accept('='))
                    place.initial = Expression("the initial marking", true, false);
                atomic.places.push_back(place);
            } while (Accept(','));
        } else if (AtWord("timed")) {
            ParseActivity(atomic, Timing::Timed);
        } else if (AtWord("instant")) {
            ParseActivity(atomic, Timing::Instantaneous);
        } else {
            Fail("expected 'place', 'timed', 'instant' or '}', found " + Found());
        }
        EndStatement();
    }
    file.atomics.push_back(atomic);
    EndStatement();
}

void Parser::ParseArcs(std::vector<Arc>& arcs) {
    do {
        Arc arc;
        arc.place = Identifier("the name of a place");
        if (Accept('[')) {
            arc.element = Expression("the index of an element", false, false);
            Expect(']', "to end the index of the element");
        }
        if (Accept('*')) {
            SkipBlanks();
            char c = Peek();
            if (AtEnd() || c == ',' || c == '\n' || c == ';' || c == '}')
                Fail("arc multiplicity missing after '*'");
            arc.multiplicity = Expression("the arc multiplicity", true, false);
        }
        arcs.push_back(arc);
    } while (Accept(','));
}

void Parser::ParseOutput(Outputs& outputs) {
    Identifier("output");
    SkipBlanks();
    if (AtWord("gate")) {
        Identifier("gate");
        outputs.gates.push_back(Block("the output gate's function"));
    } else {
        ParseArcs(outputs.arcs);
    }
}

void Parser::ParseActivityStatement(ActivityDecl& activity) {
    SkipBlanks();
    Position at = Here();
    auto distribution = [&](DistributionKind kind) {
        Name word = Identifier("a distribution");
        if (activity.timing == Timing::Instantaneous)
            Fail(word.at, "an instantaneous activity has no distribution: '" + word.text +
                              "' is for timed activities");
        if (activity.distribution != DistributionKind::None)
            Fail(word.at, "a second distribution for activity " + activity.name.text);
        activity.distribution = kind;
        activity.distributionAt = word.at;
    };
    if (AtWord("exponential")) {
        distribution(DistributionKind::Exponential);
        activity.rate = Expression("the rate", false, false);
    } else if (AtWord("deterministic")) {
        distribution(DistributionKind::Deterministic);
        activity.rate = Expression("the delay", false, false);
    } else if (AtWord("erlang")) {
        distribution(DistributionKind::Erlang);
        activity.phases = Expression("the number of phases", true, false);
        Expect(',', "between the number of phases and the rate");
        activity.rate = Expression("the rate", false, false);
    } else if (ParseGeneralDelay(activity, distribution)) {
    } else if (AtWord("weight")) {
        Identifier("weight");
        activity.weight = Expression("the weight", false, false);
    } else if (AtWord("rank")) {
        Identifier("rank");
        activity.rank = Expression("the rank", false, false);
    } else if (AtWord("input")) {
        Identifier("input");
        SkipBlanks();
        if (AtWord("gate")) {
            Identifier("gate");
            InputGate gate;
            gate.at = at;
            gate.predicate = Expression("the input gate's predicate", false, true);
            SkipBlanks();
            if (Peek() == '{')
                gate.function = Block("the input gate's function");
            activity.inputGates.push_back(gate);
        } else {
            ParseArcs(activity.inputs);
        }
    } else if (AtWord("output")) {
        ParseOutput(activity.outputs);
    } else if (AtWord("case")) {
        Identifier("case");
        Case c;
        c.at = at;
        SkipBlanks();
        if (Peek() == '{' || Peek() == '\n' || AtEnd())
            Fail("case probability missing: write 'case <probability> { ... }'");
        c.probability = Expression("the case probability", false, true);
        Expect('{', "to start the case");
        for (;;) {
            SkipStatementBreaks();
            if (Accept('}'))
                break;
            if (!AtWord("output"))
                Fail("expected 'output' or '}' in a case, found " + Found());
            ParseOutput(c.outputs);
            EndStatement();
        }
        activity.cases.push_back(c);
    } else {
        Fail("expected exponential, deterministic, erlang, weight, rank, input, output, case "
             "or '}', found " +
             Found());
    }
}

// The general delays: keyword, kind, and what their parameters are, in order.
namespace {
struct GeneralDelay {
    const char* word;
    DistributionKind kind;
    std::vector<const char*> parameters;
};
const GeneralDelay kGeneralDelays[] = {
    {"uniform", DistributionKind::Uniform, {"the lower bound", "the upper bound"}},
    {"weibull", DistributionKind::Weibull, {"the shape", "the scale"}},
    {"normal", DistributionKind::Normal, {"the mean", "the variance"}},
    {"lognormal", DistributionKind::Lognormal, {"the mean", "the variance"}},
    {"gamma", DistributionKind::Gamma, {"the shape", "the scale"}},
    {"triangular",
     DistributionKind::Triangular,
     {"the lower bound", "the mode", "the upper bound"}},
};
} // namespace

bool Parser::ParseGeneralDelay(ActivityDecl& activity,
                               const std::function<void(DistributionKind)>& distribution) {
    for (const GeneralDelay& d : kGeneralDelays) {
        if (!AtWord(d.word))
            continue;
        distribution(d.kind);
        for (size_t k = 0; k < d.parameters.size(); k++) {
            bool last = k + 1 == d.parameters.size();
            activity.general.push_back(Expression(d.parameters[k], !last, false));
            if (!last)
                Expect(',',
                       std::string("after ") + d.parameters[k] + " of the " + d.word + " delay");
        }
        return true;
    }
    return false;
}

void Parser::ParseActivity(AtomicDecl& atomic, Timing timing) {
    Identifier("timed or instant");
    ActivityDecl activity;
    activity.timing = timing;
    activity.name = Identifier("the name of the activity");
    if (Accept('[')) {
        activity.index = Identifier("the name of the family's index");
        SkipBlanks();
        if (!AtWord("in"))
            Fail("expected 'in' after the index of the family, found " + Found());
        Identifier("in");
        activity.array = Identifier("the array the family runs over");
        Expect(']', "to end the family's index");
    }
    Expect('{', "to start the activity");
    for (;;) {
        SkipStatementBreaks();
        if (Accept('}'))
            break;
        ParseActivityStatement(activity);
        EndStatement();
    }
    atomic.activities.push_back(activity);
}

void Parser::ParseJoin(ModelFile& file) {
    Identifier("join");
    JoinDecl join;
    join.name = Identifier("the name of the composed model");
    Expect('(', "to start the list of submodels");
    do {
        ChildDecl child;
        child.model = Identifier("the name of a submodel");
        if (Accept('*')) {
            // A number is checked now; any other count is an expression over global
            // variables, which the model checks and the built model evaluates.
            Fragment count = Expression("the number of instances", true, false);
            const std::string& n = count.text;
            if (n.find_first_not_of("0123456789") != std::string::npos) {
                if (n.find_first_not_of("0123456789.eE+- \t") == std::string::npos)
                    Fail(count.at, "the number of instances must be a whole number from 1 to 9999");
                child.count = count;
                child.copies = 0;
            } else {
                if (n.size() > 4 || std::stoi(n) < 1)
                    Fail(count.at, "the number of instances must be a whole number from 1 to 9999");
                child.copies = std::stoi(n);
            }
        }
        join.children.push_back(child);
    } while (Accept(','));
    Expect(')', "to end the list of submodels");
    SkipBlanks();
    if (Accept('{')) {
        for (;;) {
            SkipStatementBreaks();
            if (Accept('}'))
                break;
            if (!AtWord("share"))
                Fail("expected 'share' or '}', found " + Found());
            Identifier("share");
            ShareDecl share;
            share.name = Identifier("the name of the shared place");
            Expect(':', "after the shared place's name");
            do {
                ShareMember member;
                member.child = Identifier("a submodel");
                if (Accept('.'))
                    member.place = Identifier("a place of " + member.child.text);
                else
                    member.place = Name{share.name.text, member.child.at};
                share.members.push_back(member);
            } while (Accept(','));
            join.shares.push_back(share);
            EndStatement();
        }
    }
    file.joins.push_back(join);
    EndStatement();
}

void Parser::ParseTimes(RewardDecl& reward, bool intervals) {
    do {
        std::string start = Literal("a time");
        std::string stop = start;
        if (intervals) {
            SkipBlanks();
            if (!AtWord("to"))
                Fail("expected 'to' and the end of the interval, found " + Found());
            Identifier("to");
            stop = Literal("the end of the interval");
        }
        reward.starts.push_back(start);
        reward.stops.push_back(stop);
    } while (Accept(','));
}

void Parser::ParseCondition(RewardDecl& reward, bool reach) {
    SkipBlanks();
    const size_t start = at_;
    const int line = line_;
    const size_t lineStart = lineStart_;
    reward.condition = Expression("the condition", false, false);
    // The condition is C++ text up to the end of the statement; a time list is
    // introduced by the word 'within' outside parentheses and quotes, which no
    // expression over markings contains.
    const std::string& t = reward.condition.text;
    size_t within = std::string::npos;
    int depth = 0;
    for (size_t k = 0; k < t.size(); k++) {
        const char c = t[k];
        if (c == '"' || c == '\'') {
            for (k++; k < t.size() && t[k] != c; k++)
                if (t[k] == '\\')
                    k++;
        } else if (c == '(' || c == '[' || c == '{') {
            depth++;
        } else if (c == ')' || c == ']' || c == '}') {
            depth--;
        } else if (depth == 0 && t.compare(k, 6, "within") == 0 &&
                   (k == 0 ||
                    !(std::isalnum(static_cast<unsigned char>(t[k - 1])) || t[k - 1] == '_')) &&
                   (k + 6 == t.size() ||
                    !(std::isalnum(static_cast<unsigned char>(t[k + 6])) || t[k + 6] == '_'))) {
            within = k;
            break;
        }
    }
    if (within == std::string::npos)
        return;
    // Back to the word, so that the times are read (and their faults placed) where
    // they stand.
    at_ = start;
    line_ = line;
    lineStart_ = lineStart;
    while (at_ < start + within)
        Advance();
    if (!reach)
        Fail("'within' bounds the time of a 'reach' variable; the reward until a condition "
             "has no time bound");
    reward.condition.text = t.substr(0, within);
    while (!reward.condition.text.empty() && IsSpace(reward.condition.text.back()))
        reward.condition.text.pop_back();
    if (reward.condition.empty())
        Fail(reward.condition.at, "expected the condition before 'within', found 'within'");
    Identifier("within");
    reward.kind = RewardKind::ReachWithin;
    ParseTimes(reward, false);
}

void Parser::ParseReward(ModelFile& file) {
    Identifier("reward");
    RewardDecl reward;
    reward.name = Identifier("the name of the reward variable");
    Expect('{', "to start the reward variable");
    for (;;) {
        SkipStatementBreaks();
        if (Accept('}'))
            break;
        SkipBlanks();
        Position at = Here();
        auto kind = [&](RewardKind k) {
            Identifier("a kind");
            if (reward.kind != RewardKind::None)
                Fail(at, "a second kind for reward variable " + reward.name.text);
            reward.kind = k;
            reward.kindAt = at;
        };
        if (AtWord("instant")) {
            kind(RewardKind::Instant);
            ParseTimes(reward, false);
        } else if (AtWord("interval")) {
            kind(RewardKind::Interval);
            ParseTimes(reward, true);
        } else if (AtWord("average")) {
            kind(RewardKind::TimeAveraged);
            ParseTimes(reward, true);
        } else if (AtWord("steady")) {
            kind(RewardKind::SteadyState);
        } else if (AtWord("until")) {
            kind(RewardKind::Until);
            ParseCondition(reward, false);
        } else if (AtWord("reach")) {
            kind(RewardKind::Reach);
            ParseCondition(reward, true);
        } else if (AtWord("rate")) {
            Identifier("rate");
            if (!reward.rate.empty())
                Fail(at, "a second rate for reward variable " + reward.name.text);
            reward.rate = Expression("the rate reward", false, false);
        } else if (AtWord("impulse")) {
            Identifier("impulse");
            Impulse impulse;
            impulse.model = Identifier("a submodel");
            Expect('.', "between the submodel and its activity");
            impulse.activity = Identifier("an activity of " + impulse.model.text);
            Expect('=', "before the impulse value");
            impulse.value = Expression("the impulse value", false, false);
            reward.impulses.push_back(impulse);
        } else {
            Fail("expected instant, interval, average, steady, until, reach, rate, impulse or "
                 "'}', found " +
                 Found());
        }
        EndStatement();
    }
    file.rewards.push_back(reward);
    EndStatement();
}
