// Spotlight: lights an oval spot around a point of the frame, its long axis
// along the beam's direction, and darkens the rest; Invert darkens the spot
// instead.
// d = (pixel centre - centre * size) / frame height (round on any frame shape)
// beam = (cos a, -sin a), a in degrees counter-clockwise from the right
// u = dot(d, beam) / 2 (the spot is twice as long as wide), v = dot(d, (sin a, cos a))
// r = sqrt(u^2 + v^2) / radius
// light = 1 - smoothstep(0.7, 1, r); inverted: 1 - light
// out.rgb = in.rgb * (1 - darkness * (1 - light)); alpha unchanged.
__constant sampler_t pixelSampler = CLK_NORMALIZED_COORDS_FALSE | CLK_ADDRESS_CLAMP_TO_EDGE | CLK_FILTER_NEAREST;

__kernel void spotlight(__read_only image2d_t input, __write_only image2d_t output,
                        float time, int frame, float duration,
                        float2 centre, float beam, int invert, float radius, float darkness)
{
    const int2 position = (int2)(get_global_id(0), get_global_id(1));
    const float2 size = convert_float2(get_image_dim(input));
    const float2 d = (convert_float2(position) + 0.5f - centre * size) / size.y;
    const float a = radians(beam);
    const float2 along = (float2)(cos(a), -sin(a));
    const float u = dot(d, along) / 2.0f;
    const float v = dot(d, (float2)(-along.y, along.x));
    const float r = sqrt(u * u + v * v) / max(radius, 1e-3f);
    float light = 1.0f - smoothstep(0.7f, 1.0f, r);
    if (invert) light = 1.0f - light;
    const float4 pixel = read_imagef(input, pixelSampler, position);
    write_imagef(output, position, (float4)(pixel.xyz * (1.0f - darkness * (1.0f - light)), pixel.w));
}
