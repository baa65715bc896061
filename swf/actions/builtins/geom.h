#pragma once
// flash.geom objects made and read by the built-ins that hand them out
// (Transform, a clip's `transform`, filters' mapPoint).

#include "swf/actions/action_target.h"
#include "swf/actions/interpreter.h"
#include "swf/raster/color_transform.h"
#include "swf/raster/geometry.h"

namespace swf::actions {

// A new instance of flash.geom.<className> as `new` makes it, or a plain
// object when scripts removed the class.
Value NewGeomObject(Interpreter& in, const char* className, std::vector<Value> args);

// A member of `object` as a number (getters run).
double MemberNumber(Interpreter& in, const Value& object, const char* name);

Value MakePoint(Interpreter& in, double x, double y);
Value MakeRectangle(Interpreter& in, const ScriptBox& box);
Value MakeMatrix(Interpreter& in, const raster::Matrix& m);
Value MakeColorTransform(Interpreter& in, const raster::ColorTransform& colors);
// A Transform acting on the display object `clip` stands for.
Value MakeTransform(Interpreter& in, Object* clip);

// From any object with the members a Matrix or ColorTransform has; false
// for values that are not objects.
bool ReadMatrix(Interpreter& in, const Value& v, raster::Matrix* out);
bool ReadColorTransform(Interpreter& in, const Value& v, raster::ColorTransform* out);
// The display object a Transform acts on; null when `v` is none or it is gone.
DisplayTarget* TransformTarget(const Value& v);

}  // namespace swf::actions
