#include "generator/MarkingList.h"

#include "BaseClasses/BaseModelClass.h"
#include "BaseClasses/SANModel.h"
#include "BaseClasses/state/Place.h"
#include "BaseClasses/state/PlaceArray.h"
#include "Composer/BaseComposerClass.h"

#include <sstream>

MarkingList::MarkingList(BaseModelClass* top, bool all) : all(all) {
    Collect(top, "");
}

void MarkingList::Collect(BaseModelClass* m, const std::string& prefix) {
    // The same walk as the models' CurrentState: an atomic model's own places (those
    // shared are stored by a join above), or a join's children, then what it stores.
    if (auto* san = dynamic_cast<SANModel*>(m)) {
        const int places = san->NumStateVariables - san->NumReadOnlyPlaces;
        for (int i = 0; i < places; i++)
            if (!san->Places[i]->shared)
                Add(san->Places[i], prefix);
        return;
    }
    const int children = m->GetNumberOfChildren();
    for (int c = 0; c < children; c++) {
        BaseModelClass* child = m->GetChild(c);
        const std::string name = child->getName() != nullptr ? child->getName() : "";
        int index = 0;
        int copies = 0;
        for (int k = 0; k < children; k++) {
            const char* other = m->GetChild(k)->getName();
            if ((other != nullptr ? other : "") == name) {
                if (k < c)
                    index++;
                copies++;
            }
        }
        std::string path = prefix + name;
        if (copies > 1)
            path += "[" + std::to_string(index) + "]";
        Collect(child, path + ".");
    }
    if (auto* join = dynamic_cast<BaseComposerClass*>(m)) {
        BaseStateVariableClass** shared = join->GetSharedStateVariables();
        for (int i = 0; i < join->NumSharedStateVariables; i++)
            if (shared != nullptr && shared[i] != nullptr && shared[i]->stored)
                Add(shared[i], prefix);
    }
}

void MarkingList::Add(BaseStateVariableClass* v, const std::string& prefix) {
    const std::string name = prefix + (v->getName() != nullptr ? v->getName() : "");
    if (auto* place = dynamic_cast<Place*>(v)) {
        entries.push_back({name, place, nullptr});
    } else if (auto* array = dynamic_cast<PlaceArray*>(v)) {
        for (int i = 0; i < array->Size(); i++)
            entries.push_back({name + "[" + std::to_string(i) + "]", array->Item(i), nullptr});
    } else {
        entries.push_back({name, nullptr, v});
    }
}

void MarkingList::Append(std::string& out) const {
    for (const Entry& e : entries) {
        if (e.place != nullptr) {
            const short mark = e.place->getMark();
            if (mark == 0 && !all)
                continue;
            out += ' ';
            out += e.name;
            out += '=';
            out += std::to_string(mark);
        } else {
            std::ostringstream text;
            e.other->printStateVal(&text);
            if (text.str() == "0" && !all)
                continue;
            out += ' ' + e.name + '=' + text.str();
        }
    }
}
