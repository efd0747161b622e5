#ifndef SANC_EMITTER_H
#define SANC_EMITTER_H

#include "compiler/Model.h"

#include <map>
#include <string>

// Writes a checked model as C++ in the shape the framework expects of generated
// code: one class per atomic model (<name>SAN, with a nested class per activity or
// case), per join (<name>RJ), per reward variable (<top>PV<n> and its worker), the
// reward model (<top>PVModel) and the study (<top>RangeStudy, with GenerateStudy and
// DestructStudy). Every C++ fragment of the model is preceded by a #line directive,
// so that the C++ compiler reports an error in it at its line of the model file.
class Emitter {
  public:
    // `modelPath` is written into the #line directives; `headerName` is the name the
    // source includes the header by; the paths name the files for the directives
    // that return to the generated text.
    Emitter(const Model& model, std::string modelPath, std::string headerName,
            std::string headerPath, std::string sourcePath);

    std::string Header() const;
    std::string Source() const;

  private:
    const Model& model_;
    std::string modelPath_;
    std::string headerName_;
    std::string headerPath_;
    std::string sourcePath_;

    // "#line" before a fragment, and the marker that Finish turns into the directive
    // back to the generated file.
    std::string LineOf(const Fragment& f) const;
    static std::string Resume();
    // The fragment at its place in the model file: its line by a directive, its
    // column by the blanks before it, its text as written, so that the C++
    // compiler's line and column for an error in it are the model file's.
    std::string Laid(const Fragment& f) const;
    // An inline function that returns the fragment's value, and one whose body is
    // the fragment's block: each fragment is compiled once, in one of these.
    std::string Function(const std::string& type, const std::string& name,
                         const std::string& parameters, const Fragment& f) const;
    std::string Procedure(const std::string& name, const std::string& parameters,
                          const Fragment& f) const;
    static std::string Finish(const std::string& text, const std::string& path);

    // The call of the function of each fragment, by fragment.
    using Calls = std::map<const Fragment*, std::string>;

    void AtomicHeader(std::string& out, const Model::Atomic& atomic) const;
    void AtomicSource(std::string& out, const Model::Atomic& atomic) const;
    // The functions of an atomic model's fragments, in a namespace of the model and
    // one of each activity or place, so that the C++ compiler's message about one
    // names them; `calls` receives how the generated methods call them.
    void ExpressionsSource(std::string& out, const Model::Atomic& atomic, Calls& calls) const;
    void ActionSource(std::string& out, const Model::Atomic& atomic, const Model::Action& action,
                      const Calls& calls) const;
    void FamilyConstructor(std::string& out, const Model::Atomic& atomic) const;
    void JoinHeader(std::string& out, const JoinDecl& join) const;
    // The names of a join's shared places and the head of its constructor, for a
    // count of children given as C++ text.
    void JoinConstructorHead(std::string& out, const JoinDecl& join,
                             const std::string& children) const;
    void JoinSource(std::string& out, const JoinDecl& join, const Calls& calls) const;
    // A join with a number of instances set by the study: its children are counted,
    // built and shared in loops when the model is built.
    void RuntimeJoinSource(std::string& out, const JoinDecl& join, const Calls& calls) const;
    // The functions of the numbers of instances that the study sets, in a namespace
    // per join.
    void CountsSource(std::string& out, Calls& calls) const;
    // The declaration of a model class's constructor, which takes the index of its
    // replica when its expressions read it.
    std::string Constructor(const std::string& model) const;
    static const ChildDecl* FindChild(const JoinDecl& join, const std::string& model);
    void RewardHeader(std::string& out) const;
    // The functions of the rewards' fragments, in a namespace per reward variable.
    void RewardExpressionsSource(std::string& out, Calls& calls) const;
    void RewardSource(std::string& out, const Calls& calls) const;
    void StudyHeader(std::string& out) const;
    void StudySource(std::string& out) const;
};

#endif
