#include "SoundCue.h"

#include "Prototypes.h"

SoundCue::SoundCue() : Component(kClassName, kTypeId)
{
    RegisterComponentPrototype(*this);
}

std::unique_ptr<Component> SoundCue::Clone() const
{
    return std::make_unique<SoundCue>(*this);
}

std::unique_ptr<Component> SoundCue::Load(LevelIArchive& archive)
{
    LoadFields(Descriptors(), archive, *this);
    return Clone();
}

void SoundCue::Save(LevelOArchive& archive) const
{
    SaveFields(Descriptors(), archive, *this);
}

void SoundCue::DrawEditor()
{
    DrawFieldEditors(Descriptors(), *this);
}

const DescriptorList<SoundCue>& SoundCue::Descriptors()
{
    static const DescriptorList<SoundCue> descriptors = []
    {
        DescriptorList<SoundCue> list;
        list.push_back(std::make_unique<Metafloat<SoundCue>>("UNUSED", FieldOptions{.firstVersion = 1},
                                                             &SoundCue::GetUnused, &SoundCue::SetUnused));
        return list;
    }();
    return descriptors;
}
