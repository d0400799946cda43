#include "TimeManipulator.h"

#include "Prototypes.h"

TimeManipulator::TimeManipulator() : Component(kClassName, kTypeId)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> TimeManipulator::Clone() const
{
    return std::make_unique<TimeManipulator>(*this);
}

void TimeManipulator::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<TimeManipulator>& TimeManipulator::Descriptors()
{
    static const DescriptorList<TimeManipulator> descriptors = []
    {
        DescriptorList<TimeManipulator> list;
        list.push_back(std::make_unique<Metafloat<TimeManipulator>>(
            "Set Speed Effect", FieldOptions{.firstVersion = 1, .step = 1.0f, .minimum = -5.0f, .maximum = 5.0f},
            &TimeManipulator::GetSpeed, &TimeManipulator::SetSpeed));
        list.push_back(std::make_unique<Metabool<TimeManipulator>>(
            "Set Persistent", FieldOptions{.firstVersion = 1}, &TimeManipulator::IsActive,
            &TimeManipulator::SetPersistent));
        return list;
    }();
    return descriptors;
}
