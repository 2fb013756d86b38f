float inPosition;
float gl_Thing;
